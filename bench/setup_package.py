#!/usr/bin/env python3
"""A product folder and its install.cfg for timing `tovin setup`: FILES files spread evenly over
FOLDERS folders below the destination, one [Files] entry each, cut from CORPUS (sizes between
200 bytes and 3 KB when --size is 0, else SIZE bytes each). Writes DEST/src, DEST/install.cfg
and DEST/layout.txt (one line per folder: its name, then its files), which the side-by-side
script uses to copy the same files with cp.
usage: setup_package.py CORPUS DEST FILES FOLDERS [--size BYTES]"""
import os
import sys


def key(n):
    # List keys are read through an 8 KB buffer: short names keep 2,000 entries inside it.
    digits = '0123456789abcdefghijklmnopqrstuvwxyz'
    text = ''
    while True:
        text = digits[n % 36] + text
        n //= 36
        if not n:
            return text


def main():
    args = sys.argv[1:]
    size = 0
    if '--size' in args:
        at = args.index('--size')
        size = int(args[at + 1])
        del args[at:at + 2]
    corpus, dest, files, folders = args[0], args[1], int(args[2]), int(args[3])
    data = open(corpus, 'rb').read()
    src = os.path.join(dest, 'src')
    os.makedirs(src, exist_ok=True)
    dirs = ['D%d=<INSTALLDIR>~' % 0]
    dirs += ['D%d=<SUB%02d>~data%02d' % (k + 1, k + 1, k + 1) for k in range(folders)]
    entries, layout = [], [[] for _ in range(folders)]
    for i in range(files):
        name = 'file%05d.dat' % i
        if size:
            # Large files: the corpus from a different place each, as long as asked.
            start = (i * 7919 * 1024) % len(data)
            chunk = (data[start:] + data) * (size // len(data) + 1)
            body = chunk[:size]
        else:
            n = 200 + (i * 7919) % 3000
            at = (i * 104729) % max(1, len(data) - n)
            body = data[at:at + n]
        with open(os.path.join(src, name), 'wb') as f:
            f.write(body)
        folder = i * folders // files
        entries.append('%s=%s~<SUB%02d>' % (key(i), name, folder + 1))
        layout[folder].append(name)
    cfg = ['[Setup - Main]', 'Install Dir=Bench', 'Folder=', 'Header=Bench', 'Launch=',
           'Show Warning Screen=0', 'Show Re-Boot=0', '', '[Directories]'] + dirs + ['', '[Files]'] + entries
    with open(os.path.join(dest, 'install.cfg'), 'w', newline='\r\n') as f:
        f.write('\n'.join(cfg) + '\n')
    with open(os.path.join(dest, 'layout.txt'), 'w') as f:
        for k, names in enumerate(layout):
            f.write('data%02d %s\n' % (k + 1, ' '.join(names)))


main()
