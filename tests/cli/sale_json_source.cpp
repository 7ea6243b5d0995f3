// test_cli is built from tests/cli only, so the sale reader's unit tests compile its source here.
#include "../../tools/sale_json.cpp"
