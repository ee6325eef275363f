# The maker's web sites, in one place. The shipped build reaches them over HTTPS; test builds point them at
# plain-HTTP loopback servers (-DVANTARO_SITE_SCHEME=http -DVANTARO_MAIN_SITE=127.0.0.1:PORT ...).
set(VANTARO_SITE_NAME "vantaro" CACHE STRING "name of the maker's web site shown in the About box")
set(VANTARO_SITE_SCHEME "https" CACHE STRING "scheme of the maker's sites (http only for test builds)")
set(VANTARO_MAIN_SITE "www.example.com" CACHE STRING "host[:port] of the maker's main web site")
set(VANTARO_MIRROR_SITE "mirror.example.net" CACHE STRING "host[:port] of the maker's mirror site")
set(VANTARO_PROBE_SITE "www.example.org" CACHE STRING "host[:port] of a public site for the connectivity probe")
option(VANTARO_TEST_BUILD "compile test-only switches (crash switch) into the program" OFF)
