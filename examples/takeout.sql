-- Item rows of the POS database for the takeout example. scripts/demo.sh builds out/takeout.db
-- from this file; examples/takeout_sqlite.json reads one check's rows from it.
DROP TABLE IF EXISTS check_items;
CREATE TABLE check_items (
  check_no  TEXT    NOT NULL,
  seq       INTEGER NOT NULL,
  itemname  TEXT    NOT NULL,
  PriceCap  TEXT    NOT NULL DEFAULT '',
  Qty       REAL    NOT NULL,
  Price     REAL    NOT NULL,
  Amt       REAL    NOT NULL,
  ItemType  TEXT    NOT NULL DEFAULT '',
  RefKPType TEXT    NOT NULL DEFAULT '',
  Remark    TEXT    NOT NULL DEFAULT '',
  PRIMARY KEY (check_no, seq)
);
INSERT INTO check_items VALUES
  ('T0305-0031', 1, '雞腿便當',         '',   3, 110, 330, 'A1',  '便當', ''),
  ('T0305-0031', 2, '排骨便當',         '',   2, 100, 200, 'A1',  '便當', ''),
  ('T0305-0031', 3, '便當附湯',         '',   5,   0,   0, 'S2',  '湯品', ''),
  ('T0305-0031', 4, '滷味拼盤',         '中', 1, 150, 150, 'A1',  '小菜', ''),
  ('T0305-0031', 5, '古早味紅茶去冰半糖', '',   5,  35, 175, 'A1',  '飲料', ''),
  ('T0305-0031', 6, '環保餐具',         '',   5,   0,   0, 'A1',  '其他', ''),
  ('T0305-0031', 7, '外送服務費',       '',   1,  50,  50, 'NT1', '代收', ''),
  -- Another check in the same table, so the query's WHERE matters.
  ('T0305-0032', 1, '焢肉便當',         '',   1, 105, 105, 'A1',  '便當', '');
