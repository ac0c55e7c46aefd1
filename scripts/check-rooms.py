#!/usr/bin/env python3
"""check-rooms.py SOURCE_DIR: fails when a file of quilkit/ includes a room above its own.

The rooms, from the top down; rooms on one floor may include each other."""
import os
import re
import sys

FLOORS = [
    ["startup"],
    ["tools/cleaner", "tools/timechanger", "tools/hash", "tools/verify", "launchers", "maindlg"],
    ["log", "run", "checksums"],
    ["framework", "text", "digest"],
]
FLOOR_OF = {room: level for level, rooms in enumerate(FLOORS) for room in rooms}
INCLUDE = re.compile(r'^\s*#\s*include\s+"([^"]+)"', re.MULTILINE)


def room_of(relative_path):
    for room in sorted(FLOOR_OF, key=len, reverse=True):
        if relative_path == room or relative_path.startswith(room + "/"):
            return room
    return None


def main(source_dir):
    quilkit = os.path.join(source_dir, "quilkit")
    faults = []
    for folder, _, files in os.walk(quilkit):
        for name in files:
            if not name.endswith((".h", ".cpp")):
                continue
            path = os.path.join(folder, name)
            own = room_of(os.path.relpath(path, quilkit))
            if own is None:
                faults.append(f"{path}: in no room")
                continue
            with open(path, encoding="utf-8") as source:
                for included in INCLUDE.findall(source.read()):
                    target = os.path.normpath(os.path.join(folder, included))
                    if not os.path.exists(target):
                        target = os.path.join(quilkit, included)
                    if not os.path.exists(target):
                        continue  # a resource header or a system header in quotes
                    other = room_of(os.path.relpath(target, quilkit))
                    if other and FLOOR_OF[other] < FLOOR_OF[own]:
                        faults.append(f"{path}: includes {included}, a room above {own}")
    for fault in faults:
        print(fault)
    print(f"rooms: {len(faults)} includes reach up")
    return 1 if faults else 0


if __name__ == "__main__":
    sys.exit(main(sys.argv[1] if len(sys.argv) > 1 else "."))
