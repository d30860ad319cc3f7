#!/usr/bin/python3
"""The entries of an NTX file as generate/harbour/index_layout.py decodes them from the bytes:
   read_ntx.py FILE.NTX C|N|D  -> JSON {"layout": {...}, "entries": [[recno, key], ...]}"""
import json
import os
import sys

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
from index_layout import ntx_layout, ntx_decode_key  # noqa: E402

layout, entries = ntx_layout(sys.argv[1])
print(json.dumps({"layout": layout,
                  "entries": [[e["recno"], ntx_decode_key(e["key"], sys.argv[2])]
                              for e in entries]}))
