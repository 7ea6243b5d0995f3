"""Prints Taiwan's government uniform invoices through liborvo-invoice.

    import orvo_invoice
    inv = orvo_invoice.InvPrinter(InvPrintPort="LPT1", InvNo="AB12345678", InvAmt=1100)
    inv.Head0 = "好味餐廳"
    inv.print([{"itemname": "牛肉麵", "Qty": 2, "Amt": 1100, ...}], detail="Y")

Items are a list of dicts (column name to text, number or None), a sqlite3 cursor whose
columns are the item fields, or (DATABASE, QUERY) for the library to run the query itself. Failures raise InvoiceError with the component's number, source and
description. The library is liborvo-invoice.so.0 as installed, or the file named by
$ORVO_INVOICE_LIBRARY.
"""
import ctypes
import os

__all__ = ["InvPrinter", "InvoiceError", "Empty", "OBJECT_ERROR", "FIELDS", "PROPERTIES"]

OBJECT_ERROR = -2147221504

PROPERTIES = ("InvPrintType", "InvPrintPort", "InvType", "InvNo")
FIELDS = (
    "POSID", "TblName", "RNo", "CheckNo", "InvDate", "BNo", "InvTime", "InvAmt", "UserID",
    "StoreID", "Remark", "SCharge", "Discount", "TaxAdd", "OrderAmt", "Head0", "Head1", "Head2",
    "Head3", "Cash", "Change", "PageCount", "BottomLine1", "BottomLine2", "CCardNo", "CCardRef",
    "VCardNo", "VCardRef", "VCardBPoint", "VCardBalPoint", "UCardBalance",
)
_NAMES = frozenset(PROPERTIES + FIELDS)

_OK, _FAILED, _TOO_SMALL = 0, -1, -2
_EMPTY, _NULL, _NUMBER, _TEXT = 0, 1, 3, 4


class _EmptyType:
    """A field never assigned (None is a field assigned no value: Null)."""

    _instance = None

    def __new__(cls):
        if cls._instance is None:
            cls._instance = super().__new__(cls)
        return cls._instance

    def __repr__(self):
        return "Empty"

    def __bool__(self):
        return False


Empty = _EmptyType()


class InvoiceError(Exception):
    """What the component raised: number, source (the failing procedure) and description."""

    def __init__(self, number, source, description):
        super().__init__(f"{number} from {source}: {description}")
        self.number = number
        self.source = source
        self.description = description


_BOX = ctypes.CFUNCTYPE(None, ctypes.c_void_p, ctypes.c_char_p, ctypes.c_int)
_PROMPT = ctypes.CFUNCTYPE(None, ctypes.c_void_p, ctypes.c_char_p, ctypes.c_int)
_BEEP = ctypes.CFUNCTYPE(None, ctypes.c_void_p)
_BUSY = ctypes.CFUNCTYPE(None, ctypes.c_void_p, ctypes.c_int)
_EVENTS = ctypes.CFUNCTYPE(None, ctypes.c_void_p)
_WRITE = ctypes.CFUNCTYPE(ctypes.c_int, ctypes.c_void_p, ctypes.c_void_p, ctypes.c_size_t)


class _Callbacks(ctypes.Structure):
    _fields_ = [("context", ctypes.c_void_p), ("message_box", _BOX), ("prompt", _PROMPT),
                ("beep", _BEEP), ("busy", _BUSY), ("do_events", _EVENTS)]


def _load():
    lib = ctypes.CDLL(os.environ.get("ORVO_INVOICE_LIBRARY") or "liborvo-invoice.so.0")
    obj, text, size = ctypes.c_void_p, ctypes.c_char_p, ctypes.c_size_t
    signatures = {
        "new": (obj, []), "free": (None, [obj]), "version": (text, []),
        "set_text": (ctypes.c_int, [obj, text, text]),
        "set_number": (ctypes.c_int, [obj, text, ctypes.c_double]),
        "set_null": (ctypes.c_int, [obj, text]), "set_empty": (ctypes.c_int, [obj, text]),
        "kind": (ctypes.c_int, [obj, text]),
        "get_text": (ctypes.c_int, [obj, text, ctypes.c_char_p, size, ctypes.POINTER(size)]),
        "get_number": (ctypes.c_int, [obj, text, ctypes.POINTER(ctypes.c_double)]),
        "clear_items": (ctypes.c_int, [obj]), "add_row": (ctypes.c_int, [obj]),
        "row_text": (ctypes.c_int, [obj, text, text]),
        "row_number": (ctypes.c_int, [obj, text, ctypes.c_double]),
        "row_null": (ctypes.c_int, [obj, text]),
        "use_sqlite": (ctypes.c_int, [obj, text, text]),
        "configure": (ctypes.c_int, [obj, text, text]),
        "print": (ctypes.c_int, [obj, text]), "test_print": (ctypes.c_int, [obj]),
        "lay_out_to": (ctypes.c_int, [obj, text, _WRITE, ctypes.c_void_p]),
        "error_number": (ctypes.c_int, [obj]), "error_source": (text, [obj]),
        "error_description": (text, [obj]),
        "set_host": (ctypes.c_int, [obj, ctypes.POINTER(_Callbacks)]),
    }
    for name, (restype, argtypes) in signatures.items():
        f = getattr(lib, "orvo_invoice_" + name)
        f.restype, f.argtypes = restype, argtypes
    return lib


_lib = None


def _library():
    global _lib
    if _lib is None:
        _lib = _load()
    return _lib


def _utf8(text):
    return None if text is None else str(text).encode("utf-8")


class InvPrinter:
    """One invoice printer object: the fields and properties are attributes."""

    def __init__(self, **fields):
        lib = _library()
        handle = lib.orvo_invoice_new()
        if not handle:
            raise MemoryError("orvo_invoice_new")
        object.__setattr__(self, "_lib", lib)
        object.__setattr__(self, "_handle", handle)
        object.__setattr__(self, "_host", None)
        for name, value in fields.items():
            setattr(self, name, value)

    def close(self):
        handle = self.__dict__.get("_handle")
        if handle:
            object.__setattr__(self, "_handle", None)
            self._lib.orvo_invoice_free(handle)

    __del__ = close

    def __enter__(self):
        return self

    def __exit__(self, *exc):
        self.close()

    def _check(self, result):
        if result == _FAILED:
            lib, h = self._lib, self._handle
            raise InvoiceError(lib.orvo_invoice_error_number(h),
                               lib.orvo_invoice_error_source(h).decode("utf-8", "replace"),
                               lib.orvo_invoice_error_description(h).decode("utf-8", "replace"))
        return result

    def __setattr__(self, name, value):
        if name not in _NAMES:
            raise AttributeError(f"InvPrinter has no field {name!r}")
        self._set(_utf8(name), value, self._lib.orvo_invoice_set_text,
                  self._lib.orvo_invoice_set_number, self._lib.orvo_invoice_set_null,
                  self._lib.orvo_invoice_set_empty)

    def __delattr__(self, name):
        if name not in _NAMES:
            raise AttributeError(f"InvPrinter has no field {name!r}")
        self._check(self._lib.orvo_invoice_set_empty(self._handle, _utf8(name)))

    def __getattr__(self, name):
        if name not in _NAMES:
            raise AttributeError(f"InvPrinter has no field {name!r}")
        lib, key = self._lib, _utf8(name)
        kind = self._check(lib.orvo_invoice_kind(self._handle, key))
        if kind == _EMPTY:
            return Empty
        if kind == _NULL:
            return None
        if kind == _NUMBER:
            number = ctypes.c_double()
            self._check(lib.orvo_invoice_get_number(self._handle, key, ctypes.byref(number)))
            return int(number.value) if number.value.is_integer() else number.value
        length = ctypes.c_size_t()
        lib.orvo_invoice_get_text(self._handle, key, None, 0, ctypes.byref(length))
        buf = ctypes.create_string_buffer(length.value + 1)
        self._check(lib.orvo_invoice_get_text(self._handle, key, buf, len(buf), None))
        return buf.value.decode("utf-8")

    def _set(self, key, value, set_text, set_number, set_null, empty=None):
        if value is None:
            return self._check(set_null(self._handle, key))
        if value is Empty and empty is not None:
            return self._check(empty(self._handle, key))
        if isinstance(value, bool) or not isinstance(value, (int, float, str)):
            raise TypeError(f"{key.decode()}: a text, a number or None, not {type(value).__name__}")
        if isinstance(value, str):
            return self._check(set_text(self._handle, key, _utf8(value)))
        return self._check(set_number(self._handle, key, float(value)))

    def configure(self, **settings):
        """settings=FILE, page_output=FILE, now="YYYY-MM-DDTHH:MM:SS", pause="no",
        prompt="auto|gui|terminal|none"; None restores the default."""
        for key, value in settings.items():
            self._check(self._lib.orvo_invoice_configure(self._handle, _utf8(key), _utf8(value)))

    def set_host(self, message_box=None, prompt=None, beep=None, busy=None, do_events=None):
        """The operator's side through Python callables; those left out keep the built-in."""
        def text_call(f):
            return lambda _c, text, n: f(text.decode("utf-8"), n)
        table = _Callbacks(None,
                           _BOX(text_call(message_box)) if message_box else _BOX(),
                           _PROMPT(text_call(prompt)) if prompt else _PROMPT(),
                           _BEEP(lambda _c: beep()) if beep else _BEEP(),
                           _BUSY(lambda _c, on: busy(bool(on))) if busy else _BUSY(),
                           _EVENTS(lambda _c: do_events()) if do_events else _EVENTS())
        object.__setattr__(self, "_host", table)  # the callbacks live as long as the object
        self._check(self._lib.orvo_invoice_set_host(self._handle, ctypes.byref(table)))

    def _items(self, items):
        lib, h = self._lib, self._handle
        self._check(lib.orvo_invoice_clear_items(h))
        if items is None:
            return
        if isinstance(items, tuple) and len(items) == 2 and all(isinstance(s, str) for s in items):
            self._check(lib.orvo_invoice_use_sqlite(h, _utf8(items[0]), _utf8(items[1])))
            return
        description = getattr(items, "description", None)
        for row in items:
            if description is not None:
                row = dict(zip((d[0] for d in description), row))
            self._check(lib.orvo_invoice_add_row(h))
            for column, value in row.items():
                self._set(_utf8(column), value, lib.orvo_invoice_row_text,
                          lib.orvo_invoice_row_number, lib.orvo_invoice_row_null)

    def print(self, items=None, detail=None):
        """Prints the sale: True when printed, False when the layout reported it did not."""
        self._items(items)
        return self._check(self._lib.orvo_invoice_print(self._handle, _utf8(detail))) == 1

    def test_print(self):
        self._check(self._lib.orvo_invoice_test_print(self._handle))

    def lay_out(self, items=None, detail=None):
        """The bytes the printer would receive; opens no port and shows nothing."""
        self._items(items)
        chunks = []

        def collect(_context, data, length):
            chunks.append(ctypes.string_at(data, length))
            return 0
        self._check(self._lib.orvo_invoice_lay_out_to(self._handle, _utf8(detail),
                                                      _WRITE(collect), None))
        return b"".join(chunks)


def version():
    return _library().orvo_invoice_version().decode()
