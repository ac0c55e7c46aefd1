#!/usr/bin/env python3
"""Makes the release: VexQuilkit-VERSION-setup.exe (NSIS), VexQuilkit-VERSION-portable.zip,
and the signed package of Windows 11's first menu that the installer registers,
VexQuilkit-VERSION.msix, with the certificate it is signed with, VexQuilkit-VERSION.cer
(scripts/sparse_package.py says how it is signed).

Two runs on the same binaries give the same bytes but for the signature, which a key
decides: every file carries one time, that of SOURCE_DATE_EPOCH or else of the source
tree's last commit (the signature's time too), and the zips list their files in one
order. The cmake target `dist` of the win64 tree runs it (make package).
"""
import argparse
import os
import shutil
import subprocess
import sys
import tempfile
import time
import zipfile

import sparse_package

SOURCE_DIR = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
PRODUCT = "VexQuilkit"
# The earliest time a zip file can hold (1980-01-01): for a tree with neither a commit
# nor SOURCE_DATE_EPOCH.
ZIP_EPOCH = 315532800


def parse_arguments():
    parser = argparse.ArgumentParser(description=__doc__)
    parser.add_argument("--version", required=True)
    parser.add_argument("--company", required=True)
    parser.add_argument("--copyright", required=True)
    parser.add_argument("--quilkit", required=True, help="VexQuilkit.exe")
    parser.add_argument("--extension", required=True, help="flintpop64.dll")
    parser.add_argument("--skyperch", required=True, help="Skyperch.exe (win32 tree)")
    parser.add_argument("--out", required=True, help="folder of the installer and the zip")
    parser.add_argument("--target", help="NSIS target of the installer (default: x86-unicode)")
    return parser.parse_args()


def release_time():
    if os.environ.get("SOURCE_DATE_EPOCH"):
        return int(os.environ["SOURCE_DATE_EPOCH"])
    commit = subprocess.run(["git", "-C", SOURCE_DIR, "log", "-1", "--format=%ct"],
                            capture_output=True, text=True, check=False)
    return int(commit.stdout) if commit.returncode == 0 and commit.stdout.strip() else ZIP_EPOCH


# The text files of the zip, with the line ends that every Notepad shows.
TEXTS = {"readme.txt": os.path.join(SOURCE_DIR, "installer", "readme.txt"),
         "LICENSE.txt": os.path.join(SOURCE_DIR, "LICENSE")}


def stage(arguments, folder, epoch):
    sources = {"VexQuilkit.exe": arguments.quilkit, "flintpop64.dll": arguments.extension,
               "Skyperch.exe": arguments.skyperch, **TEXTS}
    for name, source in sources.items():
        if not os.path.isfile(source):
            sys.exit(f"make-package: {source} is missing (build the win64 and win32 trees first)")
        if name in TEXTS:
            with open(source, "rb") as text:
                lines = text.read().replace(b"\r\n", b"\n").replace(b"\n", b"\r\n")
            with open(os.path.join(folder, name), "wb") as staged:
                staged.write(lines)
        else:
            shutil.copyfile(source, os.path.join(folder, name))
        os.utime(os.path.join(folder, name), (epoch, epoch))
    return sorted(sources)


def write_zip(path, top, folder, names, epoch):
    with zipfile.ZipFile(path, "w") as archive:
        for name in names:
            entry = zipfile.ZipInfo(f"{top}/{name}", date_time=time.gmtime(epoch)[:6])
            entry.create_system = 0
            entry.external_attr = 0x20  # the archive attribute of a plain Windows file
            entry.compress_type = zipfile.ZIP_DEFLATED
            with open(os.path.join(folder, name), "rb") as data:
                archive.writestr(entry, data.read(), compresslevel=9)


def write_installer(arguments, path, folder, certificate):
    # -WX: any warning fails the build, such as a text of the installer's with no Japanese form.
    command = ["makensis", "-V2", "-WX", "-INPUTCHARSET", "UTF8", f"-DVERSION={arguments.version}",
               f"-DCOMPANY={arguments.company}", f"-DCOPYRIGHT={arguments.copyright}",
               f"-DSTAGE={folder}", f"-DOUTFILE={path}",
               f"-DCERTIFICATE_SERIAL={sparse_package.serial_number(certificate)}",
               f"-DPACKAGE_NAME={sparse_package.IDENTITY_NAME}"]
    if arguments.target:
        command.append(f"-DTARGET={arguments.target}")
    command.append(os.path.join(SOURCE_DIR, "installer", f"{PRODUCT}.nsi"))
    subprocess.run(command, check=True)


def main():
    arguments = parse_arguments()
    epoch = release_time()
    os.makedirs(arguments.out, exist_ok=True)
    base = os.path.join(os.path.abspath(arguments.out), f"{PRODUCT}-{arguments.version}")
    with tempfile.TemporaryDirectory() as work:
        folder = os.path.join(work, "stage")
        os.mkdir(folder)
        names = stage(arguments, folder, epoch)
        write_zip(base + "-portable.zip", os.path.basename(base), folder, names, epoch)
        sparse_package.build(base + ".msix", base + ".cer", arguments.version, arguments.company, epoch)
        # The installer's alone: the portable copy keeps the classic menu.
        for suffix in (".msix", ".cer"):
            shutil.copyfile(base + suffix, os.path.join(folder, PRODUCT + suffix))
            os.utime(os.path.join(folder, PRODUCT + suffix), (epoch, epoch))
        write_installer(arguments, base + "-setup.exe", folder, base + ".cer")
    for suffix in ("-setup.exe", "-portable.zip", ".msix", ".cer"):
        print(f"make-package: {base}{suffix} ({os.path.getsize(base + suffix)} bytes)")


if __name__ == "__main__":
    main()
