# The Python package over the C interface, against the library of the build that
# $ORVO_INVOICE_LIBRARY names (scripts/test.sh sets it).
import sqlite3

import pytest

import orvo_invoice

ITEMS = [
    {"itemname": "牛肉麵", "PriceCap": None, "Qty": 2, "Price": 150, "Amt": 300,
     "ItemType": "A1", "RefKPType": "", "Remark": ""},
    {"itemname": "滷味拼盤", "PriceCap": "大", "Qty": 1, "Price": 120.5, "Amt": 120.5,
     "ItemType": "NT", "RefKPType": "", "Remark": ""},
]


@pytest.fixture
def inv(tmp_path, monkeypatch):
    (tmp_path / "settings.ini").write_text("")
    monkeypatch.setenv("ORVO_SETTINGS", str(tmp_path / "settings.ini"))
    monkeypatch.setenv("ORVO_ERROR_LOG", str(tmp_path / "error.log"))
    with orvo_invoice.InvPrinter(InvNo="AB12345678", InvAmt=420, Head0="好味餐廳",
                                 InvPrintPort=str(tmp_path / "sale.prn")) as printer:
        printer.configure(now="2010-03-05T14:30:05", pause="no", prompt="none")
        yield printer


def test_fields_keep_what_the_host_gave(inv):
    assert (inv.InvNo, inv.InvAmt, inv.Head0) == ("AB12345678", 420, "好味餐廳")
    assert inv.POSID is orvo_invoice.Empty
    inv.POSID, inv.SCharge = None, 12.5
    assert (inv.POSID, inv.SCharge) == (None, 12.5)
    del inv.SCharge
    assert inv.SCharge is orvo_invoice.Empty
    with pytest.raises(AttributeError):
        inv.InvAmount = 1
    with pytest.raises(TypeError):
        inv.InvAmt = [420]


def test_a_sale_prints_the_bytes_it_lays_out_from_dicts_or_a_cursor(inv, tmp_path):
    expected = inv.lay_out(ITEMS, detail="Y")
    assert "牛肉麵".encode("cp950") in expected and "滷味拼盤-大".encode("cp950") in expected
    assert inv.print(ITEMS, detail="Y") is True
    assert (tmp_path / "sale.prn").read_bytes() == expected
    assert inv.PageCount == 1

    db = sqlite3.connect(tmp_path / "pos.db")
    columns = list(ITEMS[0])
    db.execute(f"CREATE TABLE items ({', '.join(columns)})")
    db.executemany(f"INSERT INTO items VALUES ({', '.join('?' * len(columns))})",
                   [tuple(row.values()) for row in ITEMS])
    db.commit()
    assert inv.lay_out(db.execute("SELECT * FROM items ORDER BY rowid"), detail="Y") == expected
    query = (str(tmp_path / "pos.db"), "SELECT * FROM items ORDER BY rowid")
    assert inv.lay_out(query, detail="Y") == expected
    # Without details the items still count, but no item line prints.
    assert "牛肉麵".encode("cp950") not in inv.lay_out(ITEMS)

    # A page type draws its sheet into the page output instead.
    inv.InvPrintType = "WIN3PA4"
    inv.configure(page_output=str(tmp_path / "sheet.pdf"))
    assert inv.print(ITEMS, detail="Y")
    assert (tmp_path / "sheet.pdf").read_bytes()[:5] == b"%PDF-"


@pytest.mark.parametrize("act, number, source, description", [
    (lambda inv: setattr(inv, "InvPrintType", "rp420"), orvo_invoice.OBJECT_ERROR,
     "InvPrintPort:", "不支援此發票機種類:rp420"),
    (lambda inv: inv.print([{"itemname": "x"}], detail="Y"), orvo_invoice.OBJECT_ERROR,
     "PrintInv", "Item cannot be found in the collection corresponding to the requested name "
     "or ordinal: PriceCap"),
])
def test_failures_raise_the_components_error(inv, act, number, source, description):
    with pytest.raises(orvo_invoice.InvoiceError) as caught:
        act(inv)
    assert (caught.value.number, caught.value.source, caught.value.description) == \
        (number, source, description)


def test_the_operator_is_reached_through_python_callables(inv, tmp_path):
    seen = []
    inv.set_host(prompt=lambda text, seconds: seen.append(("prompt", text, seconds)),
                 message_box=lambda text, icon: seen.append(("box", icon)),
                 beep=lambda: seen.append(("beep",)))
    inv.InvNo = "AB12345249"
    assert inv.print(ITEMS * 8, detail="Y")
    assert seen == [("prompt", "請更換發票後按[確定]", 900)]

    inv.InvPrintType, inv.InvPrintPort = "DAYEH", str(tmp_path / "no" / "such.prn")
    assert inv.print(ITEMS, detail="Y") is False
    assert seen[1:] == [("beep",), ("box", 1)]
    assert "such.prn" in (tmp_path / "error.log").read_bytes().decode("cp950")
