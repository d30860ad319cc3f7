"""What the reader scripts share: turning the values a reader library returns into the plain
JSON forms the tests compare (texts without trailing blanks, ISO dates and date-times with
milliseconds, currency with four decimals)."""
import datetime
import decimal
import json
import sys


def plain(value, field_type):
    """value of a field of type field_type (one letter); only C texts lose trailing blanks."""
    if isinstance(value, str):
        return value.rstrip(" ") if field_type == "C" else value
    if isinstance(value, decimal.Decimal):
        return "%.4f" % value
    if isinstance(value, datetime.datetime):
        return value.strftime("%Y-%m-%dT%H:%M:%S.") + "%03d" % (value.microsecond // 1000)
    if isinstance(value, datetime.date):
        return value.isoformat()
    return value


def emit(live, deleted):
    """live and deleted: lists of {field name: value} in file order."""
    json.dump({"live": live, "deleted": deleted}, sys.stdout, ensure_ascii=False)
    sys.stdout.write("\n")
