#!/bin/sh
# The disc that tools/mkpackage builds against the Windows tree TREE: the
# same files when it is built again from the same fonts, unsigned by
# default, and with --sign and a throw-away certificate (openssl) both
# signatures of install.exe and product.dll checked by osslsigncode.
#   disc_test.sh TREE SFNTTOOL
# Exit 77 (skipped) without osslsigncode, openssl or the DejaVu fonts.
set -u
tree=$1 sfnttool=$2
top=$(cd "$(dirname "$0")/../.." && pwd)
font=/usr/share/fonts/truetype/dejavu/DejaVuSans.ttf
for tool in osslsigncode openssl; do
    command -v $tool >/dev/null || { echo "SKIP: $tool is not installed (tools/setup.sh)"; exit 77; }
done
[ -f "$font" ] || { echo "SKIP: $font is not installed (tools/setup.sh)"; exit 77; }
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
failures=0
fail() {
    echo "FAIL: $*"
    failures=$((failures + 1))
}
mk() { (cd "$top" && tools/mkpackage --tree "$tree" --sfnttool "$sfnttool" --title "Signed Fonts" --label SIGNED --out "$work/out" "$@" "$font"); }

printf 'throw away\n' >"$work/password"
openssl req -x509 -newkey rsa:2048 -nodes -keyout "$work/key.pem" -out "$work/cert.pem" -days 2 \
    -subj "/CN=Korimaru Test Signer" -addext "extendedKeyUsage=codeSigning" 2>/dev/null &&
    openssl pkcs12 -export -inkey "$work/key.pem" -in "$work/cert.pem" -out "$work/cert.pfx" \
        -passout "file:$work/password" || { echo "FAIL: cannot make the certificate"; exit 1; }

# Unsigned by default: the installer on the disc is the tree's own.
mk >"$work/unsigned.log" 2>&1 || { cat "$work/unsigned.log"; echo "FAIL: the unsigned package"; exit 1; }
cmp -s "$tree/shell/install.exe" "$work/out/disc/install.exe" || fail "install.exe changed without --sign"
osslsigncode verify -in "$work/out/disc/product.dll" >/dev/null 2>&1 && fail "product.dll signed without --sign"

# Built again from the same fonts, the module compiled anew a second later:
# the same disc, image and sources.
files() { (cd "$work/out" && find . -path ./work/build -prune -o -type f -print | sort | xargs md5sum); }
files >"$work/first.md5"
rm -rf "$work/out/work/build"
sleep 1
mk >"$work/again.log" 2>&1 || { cat "$work/again.log"; fail "the package built again"; }
files >"$work/again.md5"
diff "$work/first.md5" "$work/again.md5" >"$work/md5.diff" || { cat "$work/md5.diff"; fail "built again, files differ"; }
grep -q 'product.dll$' "$work/first.md5" && grep -q 'SIGNED.iso$' "$work/first.md5" || fail "no module or image compared"

# A wrong password: the signing fails, the disc stays as it was.
printf 'wrong\n' >"$work/wrong"
mk --sign "$work/cert.pfx" --sign-password-file "$work/wrong" >"$work/wrong.log" 2>&1
[ $? = 1 ] || fail "a wrong password: exit status is not 1"
cmp -s "$tree/shell/install.exe" "$work/out/disc/install.exe" || fail "a failed signing changed the disc"
ls -a "$work/out" | grep -q '^\.disc-' && fail "a failed signing left its staging folder"

mk --sign "$work/cert.pfx" --sign-password-file "$work/password" >"$work/signed.log" 2>&1 ||
    { cat "$work/signed.log"; fail "the signed package"; }
for f in install.exe product.dll; do
    osslsigncode verify -CAfile "$work/cert.pem" -in "$work/out/disc/$f" >"$work/$f.verify" 2>&1 ||
        { cat "$work/$f.verify"; fail "$f: the signatures do not verify"; continue; }
    # The primary signature SHA-1, the nested one SHA-256, each verified.
    digests=$(sed -n 's/^Message digest algorithm  *: //p' "$work/$f.verify" | tr '\n' ' ')
    [ "$digests" = "SHA1 SHA256 " ] || fail "$f: digests of the signatures: $digests"
    [ "$(grep -c '^Signature verification: ok' "$work/$f.verify")" = 2 ] || fail "$f: not two verified signatures"
    grep -q 'Subject: /CN=Korimaru Test Signer' "$work/$f.verify" || fail "$f: not signed by the test certificate"
done
echo "== osslsigncode verify install.exe (excerpt)"
grep -E '^(Signature Index|Message digest algorithm  |Signature verification|Number of verified)' \
    "$work/install.exe.verify"
[ $failures = 0 ] && echo "mkpackage disc: all checks passed"
[ $failures = 0 ]
