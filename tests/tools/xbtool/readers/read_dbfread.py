#!/usr/bin/python3
"""Reads a table with python3-dbfread: read_dbfread.py TABLE ENCODING -> JSON on stdout."""
import sys

import dbfread

from common import emit, plain


def rows(records):
    return [{name: plain(value, types[name]) for name, value in record.items()} for record in records]


# Tables of version 0x30 without memo file may have B (double) fields, which the reader takes
# for memo fields when it looks for a memo file.
table = dbfread.DBF(sys.argv[1], encoding=sys.argv[2], char_decode_errors="strict",
                    ignore_missing_memofile=True)
types = {field.name: field.type for field in table.fields}
emit(rows(table), rows(table.deleted))
