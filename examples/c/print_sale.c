/* A point-of-sale host in C printing one sale through liborvo-invoice.
 *
 *   cc print_sale.c $(pkg-config --cflags --libs orvo-invoice) -o print_sale
 *   ./print_sale /tmp/sale.prn          # or LPT1, COM1, tcp://HOST:9100, cups:QUEUE
 */
#include <orvo-invoice/orvo_invoice.h>
#include <stdio.h>

struct item {
  const char *name;
  double qty, price;
};

static int failed(orvo_invoice *inv) {
  fprintf(stderr, "error %d from %s: %s\n", orvo_invoice_error_number(inv),
          orvo_invoice_error_source(inv), orvo_invoice_error_description(inv));
  orvo_invoice_free(inv);
  return 3;
}

int main(int argc, char **argv) {
  static const struct item items[] = {{"牛肉麵", 2, 150}, {"燙青菜", 1, 50}, {"酸梅湯", 3, 30}};
  const char *port = argc > 1 ? argv[1] : "LPT1";
  double total = 0;
  size_t i;
  orvo_invoice *inv = orvo_invoice_new();
  if (inv == NULL) return 3;
  /* A fixed clock when asked for, so that a test can compare the bytes. */
  if (argc > 2 && orvo_invoice_configure(inv, "now", argv[2]) != ORVO_OK) return failed(inv);

  if (orvo_invoice_set_text(inv, "InvPrintType", "RP420") != ORVO_OK ||
      orvo_invoice_set_text(inv, "InvPrintPort", port) != ORVO_OK)
    return failed(inv);
  orvo_invoice_set_text(inv, "InvNo", "AB12345678");
  orvo_invoice_set_text(inv, "Head0", "好味餐廳");
  orvo_invoice_set_text(inv, "Head1", "台北市中正區忠孝西路1號");
  orvo_invoice_set_text(inv, "POSID", "01");
  orvo_invoice_set_text(inv, "UserID", "A001");
  for (i = 0; i < sizeof items / sizeof items[0]; ++i) {
    const double amount = items[i].qty * items[i].price;
    orvo_invoice_add_row(inv);
    orvo_invoice_row_text(inv, "itemname", items[i].name);
    orvo_invoice_row_text(inv, "PriceCap", "");
    orvo_invoice_row_number(inv, "Qty", items[i].qty);
    orvo_invoice_row_number(inv, "Price", items[i].price);
    orvo_invoice_row_number(inv, "Amt", amount);
    orvo_invoice_row_text(inv, "ItemType", "A1");
    orvo_invoice_row_text(inv, "RefKPType", "");
    orvo_invoice_row_text(inv, "Remark", "");
    total += amount;
  }
  orvo_invoice_set_number(inv, "InvAmt", total);
  orvo_invoice_set_number(inv, "OrderAmt", total);

  switch (orvo_invoice_print(inv, "Y")) {
    case ORVO_PRINTED:
      printf("printed invoice AB12345678 on %s\n", port);
      orvo_invoice_free(inv);
      return 0;
    case ORVO_NOT_PRINTED:
      fprintf(stderr, "not printed: the error log says why\n");
      orvo_invoice_free(inv);
      return 1;
    default:
      return failed(inv);
  }
}
