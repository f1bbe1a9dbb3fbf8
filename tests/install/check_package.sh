#!/usr/bin/env bash
# Builds the .deb and checks it as a Debian user's tools would, without installing it: what it holds and with which
# modes, lintian (no error, no warning), its AppStream data and desktop entry, its systemd user unit, that apt could
# install it here from the archive, that the programs it holds answer, and that its man page lists the options as
# --help does. A tool that is missing is skipped with the reason; then the whole test reports itself skipped (exit
# 77), unless something failed.
#
#   check_package.sh BUILD-DIR
set -u
build=$1
failed=0 skipped=()
fail() { echo "FAIL: $*"; failed=1; }
have() { command -v "$1" >/dev/null 2>&1 || { skipped+=("$1 is not installed (scripts/deps installs it)"); return 1; }; }

rm -f "$build"/package/zavok_*.deb
(cd "$build" && cpack -G DEB >"$build/package.log" 2>&1) || { cat "$build/package.log"; exit 1; }
debs=("$build"/package/zavok_*.deb)
[ ${#debs[@]} -eq 1 ] && [ -f "${debs[0]}" ] || { echo "expected one package, found: ${debs[*]}"; exit 1; }
deb=${debs[0]}
root=$(mktemp -d)
trap 'rm -rf "$root"' EXIT
dpkg-deb -x "$deb" "$root/tree"

for path in usr/bin/zavok usr/libexec/zavok/zavok-headless usr/share/applications/zavok.desktop \
    usr/share/metainfo/io.github.zavok.metainfo.xml usr/share/icons/hicolor/scalable/apps/zavok.svg \
    usr/share/icons/hicolor/48x48/apps/zavok.png usr/share/man/man1/zavok.1.gz usr/share/doc/zavok/copyright \
    usr/share/doc/zavok/changelog.gz usr/share/doc/zavok/examples/mosquitto.acl \
    usr/share/systemd/user/zavok.service; do
    [ -f "$root/tree/$path" ] || fail "the package lacks /$path"
done
# In /usr/lib, or in its multiarch folder where the build was configured for /usr.
[ -n "$(find "$root/tree/usr/lib" -path '*/zavok/plugins/zavok-trend.so' -type f)" ] ||
    fail "the package lacks the trend windows' library"

# Modes as a package wants them, whatever the modes of the tree it was built from: programs 0755, all else 0644.
while read -r mode _ _ _ _ path; do
    case "$mode:$path" in
        d*) want=drwxr-xr-x ;;
        *:./usr/bin/zavok | *:./usr/libexec/zavok/zavok-headless) want=-rwxr-xr-x ;;
        *) want=-rw-r--r-- ;;
    esac
    [ "$mode" = "$want" ] || fail "/${path#./} is installed $mode, not $want"
done < <(dpkg-deb --contents "$deb")

if have lintian; then
    lintian --fail-on error,warning "$deb" || fail "lintian"
fi
if have appstreamcli; then
    appstreamcli validate-tree --no-net --pedantic "$root/tree" || fail "appstreamcli validate-tree"
fi
if have desktop-file-validate; then
    out=$(desktop-file-validate "$root/tree/usr/share/applications/zavok.desktop" 2>&1)
    [ -z "$out" ] || fail "desktop-file-validate: $out"
fi
if have systemd-analyze; then
    # The unit names the installed program, which here lies in the unpacked tree. verify goes on with status 0 past
    # settings it ignores, so anything it says is a failure.
    sed "s#^ExecStart=/#ExecStart=$root/tree/#" "$root/tree/usr/share/systemd/user/zavok.service" >"$root/zavok.service"
    mkdir -m 700 "$root/runtime"
    out=$(XDG_RUNTIME_DIR=$root/runtime systemd-analyze verify --user --man=no "$root/zavok.service" 2>&1)
    [ $? -eq 0 ] && [ -z "$out" ] || fail "systemd-analyze verify: $out"
fi
if have apt-get; then
    apt-get install --simulate "$deb" >"$root/apt.log" 2>&1 || { cat "$root/apt.log"; fail "apt could not install the package"; }
fi
# The programs find each other and answer without a display, as installed.
version=$(env -u DISPLAY -u WAYLAND_DISPLAY "$root/tree/usr/bin/zavok" --version) || fail "zavok --version"
[ "$version" = "zavok $(dpkg-deb --field "$deb" Version)" ] || fail "zavok --version says '$version'"
env -u DISPLAY -u WAYLAND_DISPLAY "$root/tree/usr/bin/zavok" --headless --help | grep -q -- '--headless' ||
    fail "zavok --headless --help"

# The man page lists every option as --help does: the same entries, none run into another and no continuation line
# taken for an entry of its own. Each side as one line per entry, rendered wide enough that man breaks no line.
if have man; then
    entries_of_help() {
        awk '/^Options:/ { on = 1; next } on && /^$/ { exit } on && /^  -/ { if (e != "") print e; e = $0; next }
            on { e = e " " $0 } END { if (e != "") print e }' | tr -s ' ' | sed 's/^ //'
    }
    entries_of_page() {
        awk '/^OPTIONS/ { on = 1; next } on && /^[^ ]/ { exit }
            on && /^       -/ { if (e != "") print e; e = $0; next } on && /^       [^ ]/ { exit }
            on && /^        / { e = e " " $0 } END { if (e != "") print e }' | tr -s ' ' | sed 's/^ //'
    }
    env -u DISPLAY -u WAYLAND_DISPLAY "$root/tree/usr/bin/zavok" --help | entries_of_help >"$root/help.entries"
    LC_ALL=C.UTF-8 MANWIDTH=1000 man -l "$root/tree/usr/share/man/man1/zavok.1.gz" 2>&1 | entries_of_page \
        >"$root/page.entries"
    if [ ! -s "$root/help.entries" ]; then
        fail "zavok --help lists no option"
    elif out=$(grep -vxFf "$root/page.entries" "$root/help.entries"); then
        fail "the man page does not list these options as --help does:
$out
it lists:
$(cat "$root/page.entries")"
    fi
fi

[ $failed -eq 0 ] || exit 1
if [ ${#skipped[@]} -gt 0 ]; then
    printf 'skipped: %s\n' "${skipped[@]}"
    exit 77
fi
echo "the package holds what it should and every check passes"
