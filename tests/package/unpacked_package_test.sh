#!/usr/bin/env bash
# The package as a user gets it: packs the build tree it is given with CPack,
# unpacks the .deb into a temporary root and runs the unpacked programs from
# there, so a file missing from the package fails the suite. Also checks the
# desktop entry and the AppStream metadata, and that the hand-written manual
# pages name every option of their program's --help.
#   unpacked_package_test.sh BUILD-DIR
set -euo pipefail
build="$1"
scratch="$(mktemp -d)"
sim_pid=""
cleanup() {
  if [ -n "$sim_pid" ]; then kill "$sim_pid" 2>/dev/null || true; fi
  rm -rf "$scratch"
}
trap cleanup EXIT
fail() { echo "FAIL: $*" >&2; exit 1; }

# gzip instead of xz: the package of a sanitizer build is large, and only
# its contents count here.
(cd "$scratch" && cpack --config "$build/CPackConfig.cmake" -B "$scratch/out" \
   -D CPACK_DEBIAN_COMPRESSION_TYPE=gzip >"$scratch/cpack.log" 2>&1) ||
  { cat "$scratch/cpack.log" >&2; fail "cpack"; }
deb="$(ls "$scratch"/out/parvion2_*.deb)"
dpkg-deb -f "$deb" Depends | grep -q "libqt6widgets6" || fail "Depends lacks the Qt libraries"
root="$scratch/root"
dpkg-deb -x "$deb" "$root"
usr="$root/usr"

for f in bin/parvion2 bin/parvion2-cli bin/parvion2-sim \
         share/parvion2/Gasger.txt share/parvion2/Gaseng.txt \
         share/parvion2/Steamger.txt share/parvion2/Steameng.txt \
         share/applications/parvion2.desktop share/metainfo/parvion2.metainfo.xml \
         share/mime/packages/parvion2.xml share/icons/hicolor/scalable/apps/parvion2.svg \
         share/icons/hicolor/48x48/apps/parvion2.png share/icons/hicolor/256x256/apps/parvion2.png \
         share/man/man1/parvion2.1.gz share/man/man1/parvion2-cli.1.gz \
         share/man/man1/parvion2-sim.1.gz share/bash-completion/completions/parvion2-cli \
         share/doc/parvion2/copyright share/doc/parvion2/changelog.gz \
         share/doc/parvion2/docs/cli.md; do
  [ -e "$usr/$f" ] || fail "the package lacks /usr/$f"
done

desktop-file-validate "$usr/share/applications/parvion2.desktop" || fail "desktop entry"
# The one warning left (the component id is no reverse domain name) is
# explained in docs/packaging.md.
appstreamcli validate --no-net "$usr/share/metainfo/parvion2.metainfo.xml" >"$scratch/as.log" 2>&1 || true
if grep -E '^(E|W):' "$scratch/as.log" | grep -v 'cid-desktopapp-is-not-rdns' | grep -q .; then
  cat "$scratch/as.log" >&2
  fail "AppStream metadata"
fi

# The unpacked programs run from there, with the string libraries of the package.
export HOME="$scratch/home" XDG_DATA_HOME="$scratch/home/data" QT_QPA_PLATFORM=offscreen
export ASAN_OPTIONS=detect_leaks=0
version="$("$usr/bin/parvion2-cli" --version)"
[[ "$version" == "parvion2-cli "* ]] || fail "parvion2-cli --version: $version"
for program in parvion2 parvion2-cli parvion2-sim; do
  "$usr/bin/$program" --version | grep -q "^$program " || fail "$program --version"
  # The manual page names every option of the program's --help.
  page="$(gzip -dc "$usr/share/man/man1/$program.1.gz" | sed 's/\\-/-/g')"
  for option in $("$usr/bin/$program" --help | grep -oE -- '--[a-z][a-z-]+' | sort -u); do
    grep -qF -- "$option" <<<"$page" || fail "$program(1) does not name $option"
  done
done

# The bash completion of the package, as bash calls it: the words typed so
# far (the last one being completed), and what it offers.
completion="$usr/share/bash-completion/completions/parvion2-cli"
offered() {
  bash -c '
    source /usr/share/bash-completion/bash_completion
    source "$1"; shift
    COMP_WORDS=("$@"); COMP_CWORD=$(($# - 1)); COMP_LINE="$*"; COMP_POINT=${#COMP_LINE}
    _parvion2_cli parvion2-cli "${COMP_WORDS[COMP_CWORD]}" "${COMP_WORDS[COMP_CWORD - 1]}"
    echo "${COMPREPLY[*]}"' _ "$completion" "$@"
}
while IFS='|' read -r typed expected; do
  read -r -a words <<<"parvion2-cli $typed"
  [[ "$typed" == *" " ]] && words+=("")
  got="$(offered "${words[@]}")"
  [ "$got" = "$expected" ] || fail "completion of '$typed': '$got', expected '$expected'"
done <<'CASES'
identify --j|--json
set T_U|T_User0 T_User1
set T_User0 M|Min Max
set grenzwerte |Schema
set EG_User |Ho Rho CO2 H2
--port /dev/pts/1 table read --kind d|density
live --c|--circuit
page c|circuit corrections
print t|terminal-plan
--baud 11|115200
--lang |de en
sg|sgerg
CASES

"$usr/bin/parvion2-sim" --no-pacing --path-file "$scratch/pty" >"$scratch/sim.log" 2>&1 &
sim_pid=$!
for _ in $(seq 100); do [ -s "$scratch/pty" ] && break; sleep 0.05; done
[ -s "$scratch/pty" ] || fail "the unpacked simulator did not start"
out="$("$usr/bin/parvion2-cli" --port "$(cat "$scratch/pty")" --baud 115200 --lang en identify)" ||
  fail "identify against the unpacked simulator"
grep -q "^Identity: *PV-GAS2" <<<"$out" || fail "identify printed: $out"
echo "package $(basename "$deb") unpacked and run: $version"
