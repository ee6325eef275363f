#!/bin/bash
# The release package as a user receives it: unpacks build/release/vantaro-Tools-*.zip (made by
# `cmake --build --preset release --target package`) and checks its files, the program's version resource, icon and
# manifest, the library's exports and that nothing needs a runtime DLL that Windows lacks. Builds nothing; with no
# package it says so and passes.
set -euo pipefail
SOURCE=${VANTARO_SOURCE:-$(cd "$(dirname "$0")/../.." && pwd)}
SCENARIO=$(basename "$0" .sh)
shopt -s nullglob
zips=("$SOURCE"/build/release/vantaro-Tools-*.zip)
if [ ${#zips[@]} -eq 0 ]; then
  echo "SKIP [$SCENARIO]: no build/release/vantaro-Tools-*.zip (cmake --build --preset release --target package)"
  exit 0
fi
ZIP=${zips[-1]}
fail() { echo "FAIL [$SCENARIO] $(basename "$ZIP"): $*" >&2; exit 1; }
expect_eq() { [ "$2" == "$3" ] || fail "$1: expected [$2], saw [$3]"; }
contains() { grep -qF -- "$3" <<<"$2" || fail "$1: expected [$3] in [$(head -c 2000 <<<"$2")]"; }

WORK=$(mktemp -d /tmp/vantaro-package.XXXXXX)
trap 'rm -rf "$WORK"' EXIT
(cd "$WORK" && unzip -q "$ZIP")
name=$(basename "$ZIP" .zip)
version=${name#vantaro-Tools-}
DIR=$WORK/$name
[ -d "$DIR" ] || fail "the archive should hold one folder named $name; it holds [$(ls "$WORK")]"

# Exactly the program, the library, the engine with its note, the guide and the pictures the guide shows.
pictures=$(grep -o '(screenshots/[^)]*\.png)' "$DIR/user-guide.md" | tr -d '()' | sort -u)
expected=$( (printf '%s\n' "vantaro Tools.exe" PsyQrDcd.dll engine/vantaro-local.exe engine/README.txt user-guide.md
  echo "$pictures") | sort)
expect_eq "files in the package" "$expected" "$(cd "$DIR" && find . -type f | sed 's|^\./||' | sort)"
[ -n "$pictures" ] || fail "the user guide shows no screenshots"
for picture in $pictures; do
  expect_eq "$picture is a PNG picture" "PNG" "$(head -c 4 "$DIR/$picture" | tail -c 3)"
done

# 32-bit Windows binaries that need only DLLs every Windows has (static C++ runtime, no winpthread).
pe_header() { i686-w64-mingw32-objdump -p "$1"; }
for binary in "vantaro Tools.exe:(Windows GUI)" "PsyQrDcd.dll:	DLL" "engine/vantaro-local.exe:(Windows CUI)"; do
  file=${binary%%:*} kind=${binary#*:}
  header=$(pe_header "$DIR/$file")
  contains "$file is 32-bit" "$header" "(PE32)"
  contains "$file kind" "$header" "$kind"
  imports=$(sed -n 's/^[[:space:]]*DLL Name: //p' <<<"$header" | tr '[:upper:]' '[:lower:]' | sort -u | tr '\n' ' ')
  for dll in $imports; do
    case "$dll" in
      kernel32.dll | user32.dll | gdi32.dll | advapi32.dll | shell32.dll | comctl32.dll | comdlg32.dll | ole32.dll | \
        shlwapi.dll | wininet.dll | ws2_32.dll | rasapi32.dll | bcrypt.dll | msvcrt.dll) ;;
      *) fail "$file imports $dll, which Windows does not ship (imports: $imports)" ;;
    esac
  done
done

# The version resource Explorer's Properties show, the icon and the manifest, as compiled into the program.
resources=$(i686-w64-mingw32-windres -i "$DIR/vantaro Tools.exe" -O rc)
IFS=. read -r major minor patch <<<"$version"
build=2
contains "file version" "$resources" "FILEVERSION $major, $minor, $patch, $build"
contains "product version" "$resources" "PRODUCTVERSION $major, $minor, $patch, $build"
contains "file type: application" "$resources" "FILETYPE 0x1"
contains "string table: Simplified Chinese, code page 936" "$resources" 'BLOCK "080403a8"'
contains "translation" "$resources" 'VALUE "Translation", 0x804, 936'
contains "FileVersion text" "$resources" "VALUE \"FileVersion\", \"$version.$build\""
contains "ProductVersion text" "$resources" "VALUE \"ProductVersion\", \"$version build $build\""
contains "original file name" "$resources" 'VALUE "OriginalFilename", "vantaro Tools.exe"'
contains "product name" "$resources" 'VALUE "ProductName", "vantaro Tools"'
contains "file description" "$resources" 'VALUE "FileDescription", "vantaro Tools"'
contains "icon group" "$resources" "RT_GROUP_ICON"
contains "icon bytes for the tray icon" "$resources" "1 RCDATA"
contains "manifest" "$resources" "RT_MANIFEST"
manifest=$(sed -n '/RT_MANIFEST/,/^END/p' <<<"$resources" | sed -n 's/^[[:space:]]*"\(.*\)"$/\1/p' | sed 's/""/"/g; s/\\n$//')
expect_eq "manifest compiled into the program" "$(tr -d '\r' <"$SOURCE/res/app.manifest")" "$manifest"
contains "manifest: the program's own version" "$manifest" "name=\"vantaro.Tools\" version=\"$version.$build\""
contains "manifest: common controls 6" "$manifest" 'name="Microsoft.Windows.Common-Controls" version="6.0.0.0"'
contains "manifest: no elevation" "$manifest" 'requestedExecutionLevel level="asInvoker" uiAccess="false"'
contains "manifest: 32-bit" "$manifest" 'processorArchitecture="x86"'

# The library's seven functions under their plain names (__stdcall without @n decoration).
exports=$(pe_header "$DIR/PsyQrDcd.dll" | sed -n '/\[Ordinal\/Name Pointer\] Table/,/^$/p' | tail -n +2 | sed -n 's/^.*\] //p' | sort | tr '\n' ' ')
expect_eq "PsyQrDcd.dll exports" "DecodePictureFile FreeAllocateMemory GetConcatenationInfo GetDecodeDataString GetDecodeLevel GetDecodeVersion GetSymbolePosition " "$exports"

# The engine's note opens in Notepad as Chinese text: UTF-8 with a byte order mark, CRLF lines.
note=$DIR/engine/README.txt
expect_eq "engine note starts with a UTF-8 byte order mark" "efbbbf" "$(head -c 3 "$note" | od -An -tx1 | tr -d ' \n')"
lf=$(tr -cd '\n' <"$note" | wc -c)
crlf=$(grep -c $'\r$' "$note" || true)
expect_eq "engine note: every line ends with CR LF" "$lf" "$crlf"
iconv -f UTF-8 -t UTF-8 "$note" >/dev/null || fail "engine note is not valid UTF-8"
contains "engine note says what the stand-in is" "$(cat "$note")" "不是真正的代理客户端"
contains "engine note in English too" "$(cat "$note")" "It is not"

echo "PASS [$SCENARIO]: $(basename "$ZIP")"
