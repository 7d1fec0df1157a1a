#!/usr/bin/env bash
# Makes the Debian package of a build and reads it back:
#   check_deb.sh BUILD_DIR SOURCE_DIR VERSION PROGRAM...
# The package is celltrend_VERSION_ARCH.deb; its control fields carry the
# project's name, version and summary (as the build's cache holds it) and a
# maintainer; it holds exactly the expected files under /usr, programs
# executable; and its Depends names the package of every shared library
# that some program links directly, which is what dpkg-shlibdeps is there to
# find.
set -uo pipefail
# shellcheck source=common.sh
source "$(dirname "$(realpath "$0")")/common.sh"
summary=$(sed -n "s/^CMAKE_PROJECT_DESCRIPTION:[A-Z]*=//p" "$build/CMakeCache.txt")

if ! cpack -G DEB --config "$build/CPackConfig.cmake" -B "$work/out" >"$work/cpack.log" 2>&1; then
  cat "$work/cpack.log" >&2
  echo "FAULT: cpack -G DEB failed" >&2
  exit 1
fi
arch=$(dpkg --print-architecture)
deb=$work/out/celltrend_${version}_${arch}.deb
if [ ! -f "$deb" ]; then
  echo "FAULT: no $(basename "$deb"); cpack wrote: $(cd "$work/out" && ls -- *.deb 2>/dev/null)" >&2
  exit 1
fi

field() { dpkg-deb -f "$deb" "$1"; }
[ "$(field Package)" = celltrend ] || fault "Package is \"$(field Package)\""
[ "$(field Version)" = "$version" ] || fault "Version is \"$(field Version)\", not $version"
[ "$(field Architecture)" = "$arch" ] || fault "Architecture is \"$(field Architecture)\", not $arch"
[[ "$(field Maintainer)" =~ ^[^\<]+\ \<[^@\ ]+@[^\>\ ]+\>$ ]] ||
  fault "Maintainer \"$(field Maintainer)\" is not \"Name <address>\""
[ "$(field Description | head -1)" = "$summary" ] ||
  fault "the Description starts \"$(field Description | head -1)\", not with the project's summary"
[ "$(field Description | wc -l)" -gt 1 ] || fault "the Description has no long text"

# The files, under /usr, and nothing else.
dpkg-deb -c "$deb" >"$work/listing"
awk '$1 !~ /^d/ { sub(/^\.\/usr\//, "", $6); print $6 }' "$work/listing" | LC_ALL=C sort >"$work/packaged"
expect_files "$work/packaged" packaged
for program in "${programs[@]}"; do
  grep -qE "^-rwxr-xr-x root/root .* \./usr/bin/$program\$" "$work/listing" ||
    fault "/usr/bin/$program is not an executable owned by root"
done

# Every directly linked library's package is a dependency.  The libraries
# are those of the built programs, resolved by the dynamic linker.
depends=$(field Depends)
[ -n "$depends" ] || fault "the package has no Depends"
dpkg-deb -x "$deb" "$work/root"
for program in "${programs[@]}"; do
  binary=$work/root/usr/bin/$program
  for library in $(readelf -d "$binary" | sed -n 's/.*(NEEDED).*\[\(.*\)\]/\1/p'); do
    path=$(ldd "$binary" | awk -v lib="$library" '$1 == lib && $2 == "=>" { print $3 }')
    owner=""
    for candidate in "$path" "$(realpath "$path")" "${path#/usr}" "/usr$path"; do
      owner=$(dpkg -S "$candidate" 2>/dev/null | head -1 | cut -d: -f1) && [ -n "$owner" ] && break
    done
    if [ -z "$owner" ]; then
      fault "$program links $library ($path), which no installed package owns"
    elif [[ ", $depends," != *", $owner "* && ", $depends," != *", $owner,"* ]]; then
      fault "$program links $library from $owner, which Depends does not name: $depends"
    fi
  done
done

[ $faults -eq 0 ] || exit 1
echo "$(basename "$deb"): Depends: $depends"
