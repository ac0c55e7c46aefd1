#!/usr/bin/env python3
"""The package that puts VexQuilkit on Windows 11's first context menu (make package).

A package "with external location": a zip of AppxManifest.xml and a logo, with
AppxBlockMap.xml (a SHA-256 hash of every 64 KiB of each file) and [Content_Types].xml,
signed by osslsigncode, which adds AppxSignature.p7x. Its program files are those of the
folder the installer registers it with.

Signing: with a release certificate, VEX_SIGNING_CERT and VEX_SIGNING_KEY name its PEM
files (VEX_SIGNING_PASSWORD_FILE the key's password, if it has one); the manifest's
Publisher is then that certificate's subject. Without one, a key and a self-signed
code-signing certificate are made for this build alone, with the subject CN=<company>;
the key lives in a private temporary folder that is removed after signing, and only the
certificate is kept, for the installer to trust.

Run alone, it writes the manifest: sparse_package.py --version V --publisher P --out FILE.
"""
import argparse
import base64
import hashlib
import os
import re
import shutil
import struct
import subprocess
import sys
import tempfile
import time
import zipfile

SOURCE_DIR = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
TEMPLATE = os.path.join(SOURCE_DIR, "installer", "AppxManifest.xml.in")
ICON = os.path.join(SOURCE_DIR, "res", "VexQuilkit", "VexQuilkit.ico")
LOGO = "Images/VexQuilkit.png"
# The package's name, by which the installer also removes it.
IDENTITY_NAME = "VexTools.VexQuilkit"
BLOCK_SIZE = 65536
# A self-signed certificate for one build: long enough for any release made from it.
CERTIFICATE_DAYS = 3650


def package_version(version):
    """The four-part form a package's Identity takes: 1.1.0 -> 1.1.0.0."""
    parts = version.split(".")
    if not 1 <= len(parts) <= 4 or not all(p.isdigit() and int(p) <= 65535 for p in parts):
        sys.exit(f"sparse_package: {version} cannot be a package version")
    return ".".join(str(int(p)) for p in parts + ["0"] * (4 - len(parts)))


def manifest(version, publisher):
    with open(TEMPLATE, encoding="utf-8") as template:
        text = template.read()
    escaped = publisher.replace("&", "&amp;").replace('"', "&quot;").replace("<", "&lt;")
    text = text.replace("@NAME@", IDENTITY_NAME).replace("@VERSION@", package_version(version))
    return text.replace("@PUBLISHER@", escaped).encode("utf-8")


def largest_png(icon_path):
    """The PNG image of the icon (its 256-pixel entry): the package's logo."""
    with open(icon_path, "rb") as icon:
        data = icon.read()
    _, _, count = struct.unpack_from("<HHH", data)
    for index in range(count):
        size, offset = struct.unpack_from("<II", data, 6 + 16 * index + 8)
        image = data[offset:offset + size]
        if image.startswith(b"\x89PNG\r\n\x1a\n"):
            return image
    sys.exit(f"sparse_package: {icon_path} holds no PNG image")


def block_map(files):
    """AppxBlockMap.xml of the files (name -> bytes), stored in the zip without compression."""
    lines = ['<?xml version="1.0" encoding="UTF-8" standalone="no"?>',
             '<BlockMap xmlns="http://schemas.microsoft.com/appx/2010/blockmap"'
             ' HashMethod="http://www.w3.org/2001/04/xmlenc#sha256">']
    for name, data in files.items():
        # The local file header: 30 bytes and the name, no extra field (see write_zip).
        lines.append(f'<File Name="{name.replace("/", chr(92))}" Size="{len(data)}"'
                     f' LfhSize="{30 + len(name.encode("utf-8"))}">')
        for start in range(0, max(len(data), 1), BLOCK_SIZE):
            digest = hashlib.sha256(data[start:start + BLOCK_SIZE]).digest()
            lines.append(f'<Block Hash="{base64.b64encode(digest).decode("ascii")}"/>')
        lines.append("</File>")
    lines.append("</BlockMap>")
    return ("\r\n".join(lines) + "\r\n").encode("utf-8")


def content_types():
    return ('<?xml version="1.0" encoding="UTF-8"?>\r\n'
            '<Types xmlns="http://schemas.openxmlformats.org/package/2006/content-types">'
            '<Default Extension="png" ContentType="image/png"/>'
            '<Override PartName="/AppxManifest.xml" ContentType="application/vnd.ms-appx.manifest+xml"/>'
            '<Override PartName="/AppxBlockMap.xml" ContentType="application/vnd.ms-appx.blockmap+xml"/>'
            '<Override PartName="/AppxSignature.p7x" ContentType="application/vnd.ms-appx.signature"/>'
            '</Types>\r\n').encode("utf-8")


def write_zip(path, files, epoch):
    """Stored entries with no extra field, so that each local header is 30 bytes and the name."""
    with zipfile.ZipFile(path, "w", zipfile.ZIP_STORED) as archive:
        for name, data in files.items():
            entry = zipfile.ZipInfo(name, date_time=time.gmtime(epoch)[:6])
            entry.create_system = 0
            archive.writestr(entry, data)


def windows_subject(certificate):
    """The certificate's subject as Windows writes it: RDNs most specific first, ", " between
    them, S= for a state. Values that Windows would quote are refused."""
    result = subprocess.run(["openssl", "x509", "-in", certificate, "-noout", "-subject", "-nameopt",
                             "RFC2253"], capture_output=True, text=True, check=True)
    subject = result.stdout.strip().removeprefix("subject=").strip()
    if re.search(r'[\\"+;<>#]', subject):
        sys.exit(f"sparse_package: the subject {subject} needs quoting; sign with a certificate whose "
                 "subject has no such characters")
    parts = [re.sub(r"^ST=", "S=", part) for part in subject.split(",")]
    return ", ".join(parts)


def make_certificate(folder, company):
    """A key and a self-signed code-signing certificate for this build, in `folder`."""
    key, certificate = os.path.join(folder, "key.pem"), os.path.join(folder, "certificate.pem")
    subprocess.run(["openssl", "req", "-x509", "-newkey", "rsa:3072", "-nodes", "-sha256",
                    "-days", str(CERTIFICATE_DAYS), "-subj", f"/CN={company}",
                    "-keyout", key, "-out", certificate,
                    "-addext", "basicConstraints=critical,CA:FALSE",
                    "-addext", "keyUsage=critical,digitalSignature",
                    "-addext", "extendedKeyUsage=codeSigning"],
                   check=True, capture_output=True)
    return certificate, key


def signing_inputs(folder, company):
    """(certificate, key, password file or None): the release certificate, else one made now."""
    certificate, key = os.environ.get("VEX_SIGNING_CERT"), os.environ.get("VEX_SIGNING_KEY")
    if bool(certificate) != bool(key):
        sys.exit("sparse_package: VEX_SIGNING_CERT and VEX_SIGNING_KEY go together")
    if certificate:
        return certificate, key, os.environ.get("VEX_SIGNING_PASSWORD_FILE")
    certificate, key = make_certificate(folder, company)
    return certificate, key, None


def destroy(path):
    """Overwrites the file before it is removed."""
    with open(path, "r+b") as data:
        data.write(b"\0" * os.path.getsize(path))
        data.flush()
        os.fsync(data.fileno())
    os.remove(path)


def sign(unsigned, signed, certificate, key, password_file, epoch):
    command = ["osslsigncode", "sign", "-certs", certificate, "-key", key, "-h", "sha256",
               "-time", str(epoch), "-in", unsigned, "-out", signed]
    if password_file:
        command[2:2] = ["-readpass", password_file]
    if os.path.exists(signed):
        os.remove(signed)  # osslsigncode writes no file that exists
    result = subprocess.run(command, capture_output=True, text=True, check=False)
    if result.returncode != 0:
        sys.exit(f"sparse_package: osslsigncode failed:\n{result.stdout}{result.stderr}")


def dos_time(epoch):
    year, month, day, hour, minute, second = time.gmtime(epoch)[:6]
    return struct.pack("<HH", hour << 11 | minute << 5 | second // 2, (year - 1980) << 9 | month << 5 | day)


def settle_signature_time(package, epoch):
    """osslsigncode stamps the zip entry of the signature with the time it ran; the entry
    takes the release's time instead, as every other entry does. The signature covers no
    zip header of its own entry, so it stays valid."""
    with zipfile.ZipFile(package) as archive:
        entry = archive.getinfo("AppxSignature.p7x")
        with open(package, "rb") as data:
            content = bytearray(data.read())
    stamp = dos_time(epoch)
    content[entry.header_offset + 10:entry.header_offset + 14] = stamp
    end = content.rfind(b"PK\x05\x06")
    count, central = struct.unpack_from("<H", content, end + 10)[0], struct.unpack_from("<I", content, end + 16)[0]
    for _ in range(count):
        if struct.unpack_from("<I", content, central + 42)[0] == entry.header_offset:
            break
        central += 46 + sum(struct.unpack_from("<HHH", content, central + 28))
    else:
        sys.exit(f"sparse_package: {package} has no central entry for its signature")
    content[central + 12:central + 16] = stamp
    with open(package, "wb") as data:
        data.write(content)


def serial_number(der_file):
    """The serial number in hexadecimal, by which certutil finds the certificate in a store.

    Written as the certificate's own bytes, the way Windows holds and shows it: OpenSSL prints
    the integer's value, which drops the zero byte that keeps a serial with its top bit set
    positive, and certutil then finds no certificate to delete."""
    result = subprocess.run(["openssl", "x509", "-inform", "DER", "-in", der_file, "-noout", "-serial"],
                            capture_output=True, text=True, check=True)
    value = int(result.stdout.strip().removeprefix("serial="), 16)
    return value.to_bytes(value.bit_length() // 8 + 1, "big").hex().upper()


def der_certificate(certificate, out):
    subprocess.run(["openssl", "x509", "-in", certificate, "-outform", "DER", "-out", out], check=True)


def build(out_package, out_certificate, version, company, epoch):
    """Writes the signed package and the certificate it is signed with (DER, .cer)."""
    # 0700: the key never sits where another account could read it.
    key_folder = tempfile.mkdtemp(prefix="vex-signing-")
    try:
        certificate, key, password_file = signing_inputs(key_folder, company)
        files = {"AppxManifest.xml": manifest(version, windows_subject(certificate)), LOGO: largest_png(ICON)}
        files = {**files, "AppxBlockMap.xml": block_map(files), "[Content_Types].xml": content_types()}
        unsigned = os.path.join(key_folder, "unsigned.msix")
        write_zip(unsigned, files, epoch)
        sign(unsigned, out_package, certificate, key, password_file, epoch)
        settle_signature_time(out_package, epoch)
        der_certificate(certificate, out_certificate)
        if not os.environ.get("VEX_SIGNING_KEY"):
            destroy(key)
    finally:
        shutil.rmtree(key_folder)


def main():
    parser = argparse.ArgumentParser(description=__doc__, formatter_class=argparse.RawDescriptionHelpFormatter)
    parser.add_argument("--version", required=True)
    parser.add_argument("--publisher", required=True)
    parser.add_argument("--out", required=True)
    arguments = parser.parse_args()
    with open(arguments.out, "wb") as out:
        out.write(manifest(arguments.version, arguments.publisher))


if __name__ == "__main__":
    main()
