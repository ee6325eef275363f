#pragma once
#include <string>

namespace vantaro {

// The maker's web sites, as the build configured them (cmake/Sites.cmake).
struct Sites {
    static std::string Name() { return VANTARO_SITE_NAME; }
    static std::string Url(const std::string& host, const std::string& path) {
        return std::string(VANTARO_SITE_SCHEME) + "://" + host + path;
    }
    static std::string Main(const std::string& path) { return Url(VANTARO_MAIN_SITE, path); }
    static std::string Mirror(const std::string& path) { return Url(VANTARO_MIRROR_SITE, path); }
    static std::string Probe(const std::string& path) { return Url(VANTARO_PROBE_SITE, path); }
};

}  // namespace vantaro
