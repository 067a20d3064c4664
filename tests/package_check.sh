#!/usr/bin/env bash
# Builds the .deb and .tar.gz packages from the build tree, checks what the .deb holds, runs the
# linkweld it carries, lints the man page, and has lintian check the .deb (which must report
# nothing, pedantic tags included) where lintian is installed.
source "$LINKWELD_SOURCE_DIR/tests/windows/common.sh"
need dpkg-deb dpkg-shlibdeps groff
work="$LINKWELD_WORK/package"
fresh_dir "$work"
(cd "$work" && cpack --config "$LINKWELD_BUILD_DIR/CPackConfig.cmake" -G "DEB;TGZ" >/dev/null)
deb=$(ls "$work"/linkweld_*.deb)
tarball=$(ls "$work"/linkweld-*.tar.gz)
ls -l "$deb" "$tarball"
listing=$(tar tzf "$tarball")
for file in glEntryHubInit.h glEntryHubInit.cpp glEntryHubC.h glEntryHubCChecked.cpp; do
    grep -q "/share/linkweld/$file\$" <<< "$listing" || { echo "the tarball lacks $file"; exit 1; }
done
dpkg-deb -c "$deb" | awk '{print $6}' > "$work/contents"
for path in ./usr/bin/linkweld ./usr/share/man/man1/linkweld.1.gz ./usr/share/doc/linkweld/README.md \
    ./usr/share/doc/linkweld/copyright ./usr/share/doc/linkweld/changelog.gz \
    ./usr/lib/cmake/linkweld/linkweldConfig.cmake \
    ./usr/lib/cmake/linkweld/linkweldConfigVersion.cmake ./usr/lib/cmake/linkweld/Linkweld.cmake \
    ./usr/lib/cmake/linkweld/LinkweldRoutes.cmake ./usr/lib/cmake/linkweld/LinkweldHeaderCheck.cmake \
    ./usr/share/linkweld/glEntryHubC.h ./usr/share/linkweld/glEntryHubC.cpp \
    ./usr/share/linkweld/glEntryHubInit.h ./usr/share/linkweld/glEntryHubInit.cpp; do
    grep -qx "$path" "$work/contents" || { echo "the .deb lacks $path"; exit 1; }
done
depends=$(dpkg-deb -f "$deb" Depends)
echo "Depends: $depends"
[[ "$depends" == *libc6* ]] || { echo "the .deb does not depend on libc6"; exit 1; }
dpkg-deb -x "$deb" "$work/root"
version=$("$work/root/usr/bin/linkweld" --version)
[ "$version" = "linkweld $(dpkg-deb -f "$deb" Version)" ] || { echo "packaged linkweld says: $version"; exit 1; }
warnings=$(zcat "$work/root/usr/share/man/man1/linkweld.1.gz" | groff -man -ww -z 2>&1)
[ -z "$warnings" ] || { echo "man page: $warnings"; exit 1; }
# Every document the installed README links to is beside it, and so is every one those link to.
docs="$work/root/usr/share/doc/linkweld"
for document in README.md c-route.md cmake.md windows.md; do
    [ -e "$docs/$document" ] || { echo "the .deb lacks $document"; exit 1; }
    for link in $(grep -o '](\([^)h][^)]*\))' "$docs/$document" | sed 's/^](\(.*\))$/\1/'); do
        [ -e "$docs/$link" ] || { echo "the installed $document links to $link, which is not installed"; exit 1; }
    done
done
echo "$version, $(wc -l < "$work/contents") paths in the .deb, man page clean"
if [ "${LINKWELD_LINT:-}" != 1 ]; then
    echo "this build is not hardened (a sanitizer build, say): the .deb is not linted"
elif command -v lintian >/dev/null; then
    # Tags only: lintian's remark about running as root is no finding.
    tags=$(lintian -EvIL +pedantic "$deb" 2>&1 | grep -E '^[EWIPX]: ' || true)
    [ -z "$tags" ] || { echo "lintian:"; echo "$tags"; exit 1; }
    echo "$(lintian --version): no tags"
else
    echo "lintian is not installed: the .deb was not linted (apt-get install lintian)"
fi
