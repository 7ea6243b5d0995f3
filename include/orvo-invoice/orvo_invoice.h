/* OrvoInvoice: prints Taiwan's government uniform invoices on roll, form and page printers.
 *
 * One object per register: fill its invoice record, choose the printer type and port, add the
 * sale's item rows (or name a SQLite query), and print. Every text is UTF-8. No function raises
 * a C++ exception; a function that fails returns ORVO_FAILED and the object keeps the error
 * (orvo_invoice_error_number, _source, _description) until the next call that fails.
 *
 *   orvo_invoice *inv = orvo_invoice_new();
 *   orvo_invoice_set_text(inv, "InvPrintPort", "LPT1");
 *   orvo_invoice_set_text(inv, "InvNo", "AB12345678");
 *   orvo_invoice_set_number(inv, "InvAmt", 1100);
 *   orvo_invoice_add_row(inv);
 *   orvo_invoice_row_text(inv, "itemname", "牛肉麵");
 *   ...
 *   if (orvo_invoice_print(inv, "Y") == ORVO_FAILED)
 *     fprintf(stderr, "%s: %s\n", orvo_invoice_error_source(inv),
 *             orvo_invoice_error_description(inv));
 *   orvo_invoice_free(inv);
 *
 * Calls are made from one thread at a time, also on separate objects: the prints of a process
 * share its table of open ports. */
#ifndef ORVO_INVOICE_H
#define ORVO_INVOICE_H

#include <stddef.h>

#ifdef __cplusplus
extern "C" {
#endif

#define ORVO_INVOICE_VERSION_MAJOR 0
#define ORVO_INVOICE_VERSION_MINOR 1

typedef struct orvo_invoice orvo_invoice;

/* Results. A print returns ORVO_PRINTED or ORVO_NOT_PRINTED (the store printers DAYEH, FE and CF
 * report a failed print through the error log instead of failing). */
enum {
  ORVO_OK = 0,
  ORVO_PRINTED = 1,
  ORVO_NOT_PRINTED = 0,
  ORVO_FAILED = -1,
  ORVO_TOO_SMALL = -2 /* a caller's buffer is too small; nothing is recorded as an error */
};

/* What a field holds. Empty: never assigned; Null: assigned "no value" (prints nothing, and "is
 * it empty?" tests are false). */
typedef enum {
  ORVO_EMPTY = 0,
  ORVO_NULL = 1,
  ORVO_BOOLEAN = 2,
  ORVO_NUMBER = 3,
  ORVO_TEXT = 4,
  ORVO_DATE = 5
} orvo_kind;

/* The number of every error raised by the printing procedures (0x80040000). */
#define ORVO_OBJECT_ERROR (-2147221504)

const char *orvo_invoice_version(void);

/* NULL only when memory is exhausted. */
orvo_invoice *orvo_invoice_new(void);
void orvo_invoice_free(orvo_invoice *inv);

/* Fields and properties by exact name: the properties InvPrintType, InvPrintPort, InvType, InvNo
 * and the 31 fields of the invoice record (POSID, TblName, ..., InvAmt, ..., UCardBalance). An
 * unknown name fails with error 438; InvPrintType refuses a type it does not know. */
int orvo_invoice_set_text(orvo_invoice *inv, const char *name, const char *utf8);
int orvo_invoice_set_number(orvo_invoice *inv, const char *name, double value);
int orvo_invoice_set_null(orvo_invoice *inv, const char *name);
int orvo_invoice_set_empty(orvo_invoice *inv, const char *name);
/* ORVO_FAILED for an unknown name, else the kind. */
int orvo_invoice_kind(orvo_invoice *inv, const char *name);
/* The text form ("" for Empty and Null, "1050" for the number 1050) with its terminating zero
 * into buf. *length (if given) receives the text's length without the zero; a buffer too small
 * gets nothing and the call returns ORVO_TOO_SMALL. */
int orvo_invoice_get_text(orvo_invoice *inv, const char *name, char *buf, size_t size,
                          size_t *length);
/* The value used as a number; text that is no number fails with 13 "Type mismatch". */
int orvo_invoice_get_number(orvo_invoice *inv, const char *name, double *value);

/* Item rows: each add_row starts a row, and the row_ calls set its columns (names as the layouts
 * read them: itemname, PriceCap, Qty, Price, Amt, ItemType, RefKPType, Remark). Rows replace a
 * SQLite query, and a query replaces the rows. Every print reads the items from the first. */
int orvo_invoice_clear_items(orvo_invoice *inv);
int orvo_invoice_add_row(orvo_invoice *inv);
int orvo_invoice_row_text(orvo_invoice *inv, const char *column, const char *utf8);
int orvo_invoice_row_number(orvo_invoice *inv, const char *column, double value);
int orvo_invoice_row_null(orvo_invoice *inv, const char *column);
/* The items are the rows of a query, run at each print on the database opened read-only. */
int orvo_invoice_use_sqlite(orvo_invoice *inv, const char *database, const char *query);

/* Settings of this object, by name; value NULL or "" restores the default.
 *   "settings"     the INI file standing for the settings store (default: ORVO_SETTINGS, else
 *                  ~/.config/Orvo3/settings.ini)
 *   "page_output"  page printer types write their sheet to this .pdf or .png file
 *   "now"          a fixed clock, YYYY-MM-DDTHH:MM:SS
 *   "pause"        "no": pauses return at once
 *   "prompt"       the built-in prompt and boxes: auto, gui, terminal or none */
int orvo_invoice_configure(orvo_invoice *inv, const char *key, const char *value);

/* pvDetail: "Y" prints every item line; anything else, or NULL, the total only. */
int orvo_invoice_print(orvo_invoice *inv, const char *detail);
int orvo_invoice_test_print(orvo_invoice *inv);
/* The bytes the printer would receive, laid out in memory: no port is opened, nothing is
 * prompted or shown, and the fields stay as they were. Into buf: *length receives the number of
 * bytes, and a buffer too small gets nothing (ORVO_TOO_SMALL; buf NULL and size 0 ask the size). */
int orvo_invoice_lay_out(orvo_invoice *inv, const char *detail, char *buf, size_t size,
                         size_t *length);
/* The same bytes handed to write in one call; a nonzero return from write fails the call. */
typedef int (*orvo_write_fn)(void *context, const char *bytes, size_t length);
int orvo_invoice_lay_out_to(orvo_invoice *inv, const char *detail, orvo_write_fn write,
                            void *context);

/* The last error: the number (ORVO_OBJECT_ERROR from the printing procedures), the procedure
 * that raised it (PrintInv, TestPrint, InvPrintPort:, ...) and what went wrong. 0 and "" when
 * nothing failed yet. The texts live until the next failing call or orvo_invoice_free. */
int orvo_invoice_error_number(const orvo_invoice *inv);
const char *orvo_invoice_error_source(const orvo_invoice *inv);
const char *orvo_invoice_error_description(const orvo_invoice *inv);

/* The operator's side, for a host with a window toolkit. A NULL member keeps the built-in
 * behaviour ("prompt" above). Texts are UTF-8 with lines ended by "\n". */
typedef enum { ORVO_BOX_INFORMATION = 0, ORVO_BOX_EXCLAMATION = 1, ORVO_BOX_CRITICAL = 2 } orvo_box_icon;
typedef struct orvo_host_callbacks {
  void *context;
  /* A message box; returns when the operator closed it. */
  void (*message_box)(void *context, const char *text, orvo_box_icon icon);
  /* The roll-change prompt: returns when the operator closed it, or after `seconds`. */
  void (*prompt)(void *context, const char *text, int seconds);
  void (*beep)(void *context);
  /* The busy pointer on (1) and off (0) around each print. */
  void (*busy)(void *context, int on);
  /* Lets the host's pending window events run, after the printer's half-second pauses. */
  void (*do_events)(void *context);
} orvo_host_callbacks;
/* Copies the table; NULL goes back to the built-in behaviour. */
int orvo_invoice_set_host(orvo_invoice *inv, const orvo_host_callbacks *callbacks);

#ifdef __cplusplus
}
#endif

#endif
