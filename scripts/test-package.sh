#!/bin/bash
# test-package.sh VERSION DIST_DIR WORK_DIR TESTS_EXE EXTENSION_DLL -- MAKE_PACKAGE...
# The portable zip's texts checked; the signed package of Windows 11's menu checked (its
# entries, block map, signature, Publisher, class and manifest); the release installed over
# an older version, used and uninstalled under Wine in a new prefix in WORK_DIR, then a
# newer version installed that it does not replace unasked, and on Windows 11 the package
# registered and removed; then, under a Japanese locale, the same installation and the
# installer's texts in Japanese (tests/installer/PackageTest.cpp). MAKE_PACKAGE is
# scripts/make-package.py with the dist target's inputs; it makes the older version (the
# same binaries, its extension told apart by bytes after its image) and the newer one. A
# machine that runs no 32-bit code cannot run the shipped installer: there both installers
# come from the same script built for amd64.
set -euo pipefail
version=$1 dist=$2 work=$3 tests=$4 extension=$5
shift 6
old=1.0.0
newer=9.9.9

case "$work" in */package-wine) ;; *) echo "test-package: will not clear $work" >&2; exit 2 ;; esac
setup=$dist/VexQuilkit-$version-setup.exe
if [ ! -f "$setup" ]; then
    echo "test-package: $setup is missing: run make package first" >&2
    exit 1
fi
rm -rf "$work"
mkdir -p "$work"

# The zip holds the licence, with Windows line ends, and a readme in English and then in
# Japanese, UTF-8 with a byte-order mark (which every Notepad reads as UTF-8): the English
# names every item of the context menu, the SHA-512 and BLAKE3 digests and files, and the
# choices kept; the Japanese names every item too, and every file, extension, key and
# option that the English does.
python3 - "$dist/VexQuilkit-$version-portable.zip" "VexQuilkit-$version" "$(dirname "$0")/.." <<'EOF_PY'
import re, sys, zipfile
archive, top, source = sys.argv[1:]
with zipfile.ZipFile(archive) as zip_file:
    licence = zip_file.read(f"{top}/LICENSE.txt")
    readme = zip_file.read(f"{top}/readme.txt")
with open(f"{source}/LICENSE", "rb") as original:
    assert licence == original.read().replace(b"\n", b"\r\n"), "LICENSE.txt is not LICENSE"
assert readme.startswith(b"\xef\xbb\xbf"), "readme.txt lacks the byte-order mark"
english, heading, japanese = readme[3:].decode("utf-8").partition("VexQuilkit \u3068 Skyperch (\u65e5\u672c\u8a9e)")
assert heading, "readme.txt has no Japanese part"
with open(f"{source}/shellext/English.rc", encoding="utf-8") as menu:
    items = [item.replace("&", "") for item in re.findall(r'IDS_ITEM_\w+ "([^"]+)"', menu.read())]
assert len(items) == 6, items
missing = [item for item in items if item not in english or item not in japanese]
assert not missing, f"readme.txt does not name {missing} in both languages"
unnamed = [word for word in ("SHA-512", ".sha512", "BLAKE3", ".b3", "remember") if word not in english]
assert not unnamed, f"readme.txt does not name {unnamed}"
names = set(re.findall(r"[\w-]*\.(?:exe|dll|txt|md5|sha1|sha256|sha512|b3)\b|HKEY_[\w\\]+|\w+SUMS|/S\b", english))
untold = sorted(name for name in names if name not in japanese)
assert not untold, f"the Japanese part of readme.txt lacks {untold}"
print(f"test-package: the zip holds LICENSE.txt and a readme naming {len(items)} items and {len(names)} names in both languages")
EOF_PY

# Every text the installer shows is one of its LangStrings, whose Japanese forms makensis
# -WX insists on; no message box or page has a text of its own.
python3 - "$(dirname "$0")/../installer/VexQuilkit.nsi" <<'EOF_PY'
import re, sys
with open(sys.argv[1], encoding="utf-8-sig") as script:
    nsi = script.read()
texts = re.findall(r'^\s*MessageBox \S+ "([^"]*)"', nsi, re.M) + re.findall(r'^!define MUI_\w*TEXT\w* "([^"]*)"', nsi, re.M)
literal = [text for text in texts if not re.fullmatch(r"\$\(\w+\)", text)]
assert texts and not literal, f"installer texts outside its LangStrings: {literal}"
print(f"test-package: the installer's {len(texts)} texts are LangStrings")
EOF_PY

# The package of Windows 11's menu: its entries, every block hash of its block map
# recomputed, its signature, its Publisher against the certificate, its class against the
# DLL and the install layout, and its manifest against the rules Microsoft's manifest
# schemas state for each element it uses.
package=$dist/VexQuilkit-$version.msix
openssl x509 -inform DER -in "$dist/VexQuilkit-$version.cer" -out "$work/certificate.pem"
if ! osslsigncode verify -CAfile "$work/certificate.pem" -in "$package" >"$work/verify.log" 2>&1; then
    cat "$work/verify.log"
    echo "test-package: osslsigncode does not verify $package" >&2
    exit 1
fi
subject=$(openssl x509 -in "$work/certificate.pem" -noout -subject -nameopt RFC2253 | sed 's/^subject=//')
python3 - "$package" "$subject" "$extension" "$version" "$(dirname "$0")/../installer/VexQuilkit.nsi" <<'EOF_PY'
import base64, hashlib, re, struct, sys, uuid, zipfile
import xml.etree.ElementTree as tree
package, subject, extension, version, installer = sys.argv[1:]
faults = []
def check(condition, fault):
    if not condition:
        faults.append(fault)

with zipfile.ZipFile(package) as archive:
    names = archive.namelist()
    files = {name: archive.read(name) for name in names}
    infos = {info.filename: info for info in archive.infolist()}
check(sorted(names) == sorted(["AppxManifest.xml", "Images/VexQuilkit.png", "AppxBlockMap.xml",
                               "[Content_Types].xml", "AppxSignature.p7x"]), f"entries {names}")

# Every file but the block map, the content types and the signature, each 64 KiB hashed.
BLOCKMAP = "{http://schemas.microsoft.com/appx/2010/blockmap}"
blockmap = tree.fromstring(files["AppxBlockMap.xml"])
check(blockmap.get("HashMethod") == "http://www.w3.org/2001/04/xmlenc#sha256", "block map not SHA-256")
mapped = {}
for entry in blockmap.iter(BLOCKMAP + "File"):
    name = entry.get("Name").replace("\\", "/")
    data = files.get(name, b"")
    mapped[name] = True
    check(int(entry.get("Size")) == len(data), f"{name}: size")
    check(int(entry.get("LfhSize")) == 30 + len(name.encode()) + len(infos[name].extra), f"{name}: LfhSize")
    hashes = [block.get("Hash") for block in entry.iter(BLOCKMAP + "Block")]
    blocks = [data[i:i + 65536] for i in range(0, len(data), 65536)]
    check(hashes == [base64.b64encode(hashlib.sha256(b).digest()).decode() for b in blocks], f"{name}: block hashes")
check(sorted(mapped) == ["AppxManifest.xml", "Images/VexQuilkit.png"], f"block map lists {sorted(mapped)}")

# The manifest, element by element.
F = "{http://schemas.microsoft.com/appx/manifest/foundation/windows10}"
UAP = "{http://schemas.microsoft.com/appx/manifest/uap/windows10}"
UAP10 = "{http://schemas.microsoft.com/appx/manifest/uap/windows10/10}"
RESCAP = "{http://schemas.microsoft.com/appx/manifest/foundation/windows10/restrictedcapabilities}"
D4 = "{http://schemas.microsoft.com/appx/manifest/desktop/windows10/4}"
D5 = "{http://schemas.microsoft.com/appx/manifest/desktop/windows10/5}"
COM = "{http://schemas.microsoft.com/appx/manifest/com/windows10}"
manifest = tree.fromstring(files["AppxManifest.xml"])
check(manifest.tag == F + "Package", f"root {manifest.tag}")
def one(path):
    found = manifest.findall(path)
    check(len(found) == 1, f"{path}: {len(found)} elements")
    return found[0] if found else tree.Element("missing")
def required(element, *attributes):
    for attribute in attributes:
        check(element.get(attribute), f"{element.tag} lacks {attribute}")

GUID = re.compile(r"^[0-9A-Fa-f]{8}-([0-9A-Fa-f]{4}-){3}[0-9A-Fa-f]{12}$")
identity = one(F + "Identity")
required(identity, "Name", "Publisher", "Version")
check(re.fullmatch(r"[-.A-Za-z0-9]{3,50}", identity.get("Name", "")), "Identity Name: 3 to 50 of - . letters digits")
check(re.fullmatch(r"(0|[1-9][0-9]{0,4})(\.(0|[1-9][0-9]{0,4})){3}", identity.get("Version", "")) and
      all(int(p) <= 65535 for p in identity.get("Version").split(".")), "Identity Version: four numbers to 65535")
check(identity.get("Version") == ".".join((version.split(".") + ["0"] * 4)[:4]), "Version does not follow the program's")
check(identity.get("ProcessorArchitecture") in (None, "x86", "x64", "arm", "arm64", "neutral"), "ProcessorArchitecture")
publisher = identity.get("Publisher", "")
check(1 <= len(publisher) <= 8192 and re.fullmatch(r"(CN|L|O|OU|E|C|S|STREET|T|G|I|SN|DC|SERIALNUMBER|"
      r"Description|PostalCode|POBox|Phone|X21Address|dnQualifier|(OID\.(0|[1-9][0-9]*)(\.(0|[1-9][0-9]*))+))="
      r"[^,]+(, *[A-Za-z.0-9]+=[^,]+)*", publisher), f"Publisher {publisher} is no distinguished name")
check(publisher == ", ".join(re.sub(r"^ST=", "S=", p) for p in subject.split(",")),
      f"Publisher {publisher} is not the certificate's subject {subject}")
for element in ("DisplayName", "PublisherDisplayName", "Logo"):
    check((one(f"{F}Properties/{F}{element}").text or "").strip(), f"Properties {element} empty")
check(one(f"{F}Properties/{F}Logo").text.replace("\\", "/") in files, "the Logo is not in the package")
check(one(f"{F}Properties/{UAP10}AllowExternalContent").text == "true", "AllowExternalContent")
family = one(f"{F}Dependencies/{F}TargetDeviceFamily")
required(family, "Name", "MinVersion", "MaxVersionTested")
check(family.get("Name") == "Windows.Desktop", "TargetDeviceFamily Name")
minimum = tuple(int(p) for p in family.get("MinVersion", "0.0.0.0").split("."))
check(len(minimum) == 4 and minimum >= (10, 0, 19041, 0), "MinVersion below 10.0.19041 (external content)")
check(one(f"{F}Resources/{F}Resource").get("Language"), "Resource Language")
capabilities = {c.get("Name") for c in manifest.iter(RESCAP + "Capability")}
check(capabilities == {"runFullTrust", "unvirtualizedResources"}, f"capabilities {capabilities}")
application = one(f"{F}Applications/{F}Application")
required(application, "Id", "Executable")
check(re.fullmatch(r"[A-Za-z][A-Za-z0-9]*(\.[A-Za-z][A-Za-z0-9]*)*", application.get("Id", "")), "Application Id")
check(application.get(UAP10 + "TrustLevel") == "mediumIL", "TrustLevel")
check(application.get(UAP10 + "RuntimeBehavior") == "win32App", "RuntimeBehavior")
visual = one(f"{F}Applications/{F}Application/{UAP}VisualElements")
required(visual, "DisplayName", "Description", "BackgroundColor", "Square150x150Logo", "Square44x44Logo")
check(visual.get("AppListEntry") == "none", "AppListEntry")
for logo in ("Square150x150Logo", "Square44x44Logo"):
    check(visual.get(logo, "").replace("\\", "/") in files, f"{logo} is not in the package")
extension_element = one(f".//{D4}Extension")
check(extension_element.get("Category") == "windows.fileExplorerContextMenus", "desktop4:Extension Category")
types = [item.get("Type") for item in manifest.iter(D5 + "ItemType")]
check(types == ["*", "Directory", "Directory\\Background"], f"item types {types}")
verbs = list(manifest.iter(D5 + "Verb"))
check(len(verbs) == 3, "one verb per item type")
for verb in verbs:
    required(verb, "Id", "Clsid")
    check(re.fullmatch(r"[A-Za-z0-9]{3,64}", verb.get("Id", "")), "Verb Id: 3 to 64 letters and digits")
    check(GUID.match(verb.get("Clsid", "")), "Verb Clsid is no GUID")
check(one(f".//{COM}Extension").get("Category") == "windows.comServer", "com:Extension Category")
server_class = one(f".//{COM}ComServer/{COM}SurrogateServer/{COM}Class")
required(server_class, "Id", "Path", "ThreadingModel")
check(GUID.match(server_class.get("Id", "")), "Class Id is no GUID")
check(server_class.get("ThreadingModel") in ("Both", "STA", "MTA", "MainSTA", "Neutral"), "ThreadingModel")
path = server_class.get("Path", "")
check(1 <= len(path) <= 256 and not re.search(r'[<>:"|?*]', path), "Class Path")
check(all(v.get("Clsid") == server_class.get("Id") for v in verbs), "the verbs name another class")

# The class is the DLL's, and the DLL is where the installer puts it: the folder it
# registers the package with.
with open(extension, "rb") as dll:
    check(uuid.UUID(server_class.get("Id", "0" * 32)).bytes_le in dll.read(), "flintpop64.dll has no such class")
with open(installer, encoding="utf-8") as script:
    nsi = script.read()
check(path == "flintpop64.dll" and "InstallFile flintpop64.dll" in nsi and "-ExternalLocation '$INSTDIR'" in nsi,
      f"{path} is not where the installer puts flintpop64.dll, its external location")
check(application.get("Executable") == "VexQuilkit.exe" and "InstallFile VexQuilkit.exe" in nsi, "Executable")

for fault in faults:
    print(f"test-package: {fault}")
if faults:
    sys.exit(1)
print(f"test-package: the package's {len(names)} entries, block map, manifest and signature by {publisher} check out")
EOF_PY

{ cat "$extension"; printf 'an older release'; } >"$work/old-flintpop64.dll"

target=()
if [ -n "${VEX_WINE_NO_32BIT:-}" ]; then
    echo "test-package: this machine runs no 32-bit code; testing the installer script built for amd64"
    target=(--target amd64-unicode)
    "$@" --version "$version" --extension "$extension" --out "$work/new" "${target[@]}" >/dev/null
    setup=$work/new/VexQuilkit-$version-setup.exe
fi
"$@" --version "$old" --extension "$work/old-flintpop64.dll" --out "$work/old" "${target[@]}" >/dev/null
"$@" --version "$newer" --extension "$extension" --out "$work/newer" "${target[@]}" >/dev/null

windows_path() { local path; path=$(realpath "$1"); echo "Z:${path//\//\\}"; }
VEX_PACKAGE_SETUP=$(windows_path "$setup")
VEX_PACKAGE_OLD_SETUP=$(windows_path "$work/old/VexQuilkit-$old-setup.exe")
VEX_PACKAGE_NEWER_SETUP=$(windows_path "$work/newer/VexQuilkit-$newer-setup.exe")
VEX_PACKAGE_EXTENSION=$(windows_path "$extension")
VEX_PACKAGE_OLD_EXTENSION=$(windows_path "$work/old-flintpop64.dll")
VEX_PACKAGE_MSIX=$(windows_path "$(dirname "$setup")/VexQuilkit-$version.msix")
VEX_PACKAGE_CERTIFICATE=$(windows_path "$(dirname "$setup")/VexQuilkit-$version.cer")
export VEX_PACKAGE_MSIX VEX_PACKAGE_CERTIFICATE VEX_PACKAGE_SETUP VEX_PACKAGE_OLD_SETUP VEX_PACKAGE_NEWER_SETUP VEX_PACKAGE_EXTENSION VEX_PACKAGE_OLD_EXTENSION
export VEX_PACKAGE_OLD_VERSION=$old
# Wine would copy the Start menu shortcuts into the Linux desktop's menu. The test puts a
# recorder in the place of certutil and PowerShell, which Wine would otherwise take from
# its own.
export WINEDLLOVERRIDES="winemenubuilder.exe=d;mscoree,mshtml=;certutil.exe,powershell.exe=n"
run_tests() { env -u VEX_WINE_BED "$(dirname "$0")/wine-env.sh" "$work" wine "$tests" --gtest_filter="$1"; }
run_tests 'Package.*:-*Japanese*'
# Wine takes the user's language from the Unix locale it starts in, not from a variable
# that a Windows program sets for the programs it starts.
LC_ALL=ja_JP.UTF-8 run_tests 'Package.*Japanese*'
