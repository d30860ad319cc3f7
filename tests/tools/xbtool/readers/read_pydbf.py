#!/usr/bin/python3
"""Reads a table with python3-dbf: read_pydbf.py TABLE ENCODING -> JSON on stdout."""
import sys

import dbf

from common import emit, plain

table = dbf.Table(sys.argv[1], codepage=sys.argv[2])
table.open(dbf.READ_ONLY)
live, deleted = [], []
for record in table:
    values = {name.upper(): plain(record[name], chr(table.field_info(name).field_type))
              for name in table.field_names}
    (deleted if dbf.is_deleted(record) else live).append(values)
table.close()
emit(live, deleted)
