#!/usr/bin/env python3
"""check-translations.py [ENGLISH.rc JAPANESE.rc]...

Without arguments it checks each English.rc of the tree beside its Japanese.rc.

Fails when a text a user reads has one language only: every string, dialog control and
menu item of the English resource file must have its Japanese form under the same
identifier, and the Japanese file must hold nothing the English one does not. A Japanese
text equal to the English one counts as untranslated unless only names are left in it
(VexQuilkit, Hidemaru.exe, MD5, SHA256, BLAKE3, OK and the like).
"""
import pathlib
import re
import sys

NAMES = re.compile(r'VexQuilkit|Quillkit|Skyperch|Hidemaru\.exe|Hidemaru|flintpop64\.dll|MD5|SHA\d*|BLAKE3|OK|'
                   r'Shift|F\d+|Ctrl|Alt|Tab|Esc|%\d')
CONTROL = re.compile(r'^\s*(LTEXT|RTEXT|CTEXT|PUSHBUTTON|DEFPUSHBUTTON|CONTROL|GROUPBOX|AUTOCHECKBOX|CHECKBOX|'
                     r'RADIOBUTTON|AUTORADIOBUTTON)\s+(?:"((?:[^"]|"")*)"|(\w+))\s*,\s*(\w+)')
BARE_CONTROL = re.compile(r'^\s*(EDITTEXT|COMBOBOX|LISTBOX|SCROLLBAR)\s+(\w+)')
STRING = re.compile(r'^\s*(\w+)\s*,?\s*"((?:[^"]|"")*)"')
MENUITEM = re.compile(r'^\s*MENUITEM\s+"((?:[^"]|"")*)"\s*,\s*(\w+)')
RESOURCE = re.compile(r'^\s*(\w+)\s+(DIALOGEX|DIALOG|MENU|MENUEX)\b')


def texts_of(path):
    """{(kind, resource, id): text} of one resource file."""
    found = {}
    block = None  # ('string', None) or ('dialog'|'menu', name)
    depth = 0
    with open(path, encoding='utf-8') as rc:
        for line in rc:
            line = line.split('//')[0] if not line.lstrip().startswith('"') else line
            caption = re.match(r'^\s*CAPTION\s+"((?:[^"]|"")*)"', line)
            head = RESOURCE.match(line)
            if head:
                block = (head.group(2).startswith('DIALOG') and 'dialog' or 'menu', head.group(1))
                depth = 0
                continue
            if re.match(r'^\s*STRINGTABLE\b', line):
                block, depth = ('string', None), 0
                continue
            if block and caption and block[0] == 'dialog':
                found[('caption', block[1], '')] = caption.group(1)
                continue
            if re.match(r'^\s*BEGIN\b', line) or line.strip() == '{':
                depth += 1
                continue
            if re.match(r'^\s*END\b', line) or line.strip() == '}':
                depth -= 1
                if depth <= 0:
                    block = None
                continue
            if not block or depth <= 0:
                continue
            kind, name = block
            if kind == 'string':
                m = STRING.match(line)
                if m:
                    found[('string', '', m.group(1))] = m.group(2)
            elif kind == 'dialog':
                m = CONTROL.match(line)
                if m:
                    found[('control', name, m.group(4))] = m.group(2) if m.group(2) is not None else ''
                m = BARE_CONTROL.match(line)
                if m:
                    found[('control', name, m.group(2))] = ''
            else:
                m = MENUITEM.match(line)
                if m:
                    found[('menu', name, m.group(2))] = m.group(1)
    return found


def untranslated(english, japanese):
    if not english or english != japanese:
        return False
    return re.search(r'[A-Za-z]{3,}', NAMES.sub('', english)) is not None


def check(english_path, japanese_path):
    if not pathlib.Path(japanese_path).exists():
        return [f'{japanese_path}: missing beside {english_path}']
    english, japanese = texts_of(english_path), texts_of(japanese_path)
    faults = []
    for key, text in sorted(english.items()):
        if key not in japanese:
            faults.append(f'{japanese_path}: no Japanese form of {key} "{text}"')
        elif text and not japanese[key]:
            faults.append(f'{japanese_path}: empty Japanese form of {key} "{text}"')
        elif untranslated(text, japanese[key]):
            faults.append(f'{japanese_path}: {key} "{text}" is still English')
    for key, text in sorted(japanese.items()):
        if key not in english:
            faults.append(f'{english_path}: no English form of {key} "{text}"')
    if not english:
        faults.append(f'{english_path}: no texts found')
    return faults


def pairs_of_tree():
    top = pathlib.Path(__file__).resolve().parent.parent
    found = []
    for english in sorted(top.glob('**/English.rc')):
        if 'build' not in english.relative_to(top).parts:
            found += [str(english), str(english.with_name('Japanese.rc'))]
    return found


def main(args):
    args = args or pairs_of_tree()
    if len(args) < 2 or len(args) % 2:
        print(__doc__)
        return 2
    faults = []
    for at in range(0, len(args), 2):
        faults += check(args[at], args[at + 1])
    for fault in faults:
        print(fault)
    print(f'check-translations: {len(faults)} text(s) in one language only')
    return 1 if faults else 0


if __name__ == '__main__':
    sys.exit(main(sys.argv[1:]))
