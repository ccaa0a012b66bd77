#!/usr/bin/env python3
"""Writes every SVG that render.sh turns into PNG, plus a job list.

usage: gen.py OUTDIR   ->  OUTDIR/*.svg and OUTDIR/jobs.tsv (svg<TAB>png)
"""
import os
import sys

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))

import gen_icons  # noqa: E402
import gen_ui  # noqa: E402


def main():
    out = sys.argv[1]
    here = os.path.dirname(os.path.abspath(__file__))
    os.makedirs(out, exist_ok=True)
    lines = []

    def put(kind, png, text):
        name = '%s-%s.svg' % (kind, os.path.basename(png)[:-4])
        with open(os.path.join(out, name), 'w', encoding='utf-8') as f:
            f.write(text)
        lines.append('%s\t%s\t%s' % (kind, name, png))

    for png, text in gen_ui.jobs():
        put('ui', png, text)
    for png, text in gen_icons.jobs(os.path.join(here, 'icons.tsv')):
        put('icon', png, text)
    for png, text in gen_ui.loading_jobs():
        put('frame', png, text)
    with open(os.path.join(out, 'jobs.tsv'), 'w') as f:
        f.write('\n'.join(lines) + '\n')


if __name__ == '__main__':
    main()
