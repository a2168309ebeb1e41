/* libbrelvoxa from C, compiled as C99: each row a text and what brv_check and
 * brv_check_fault and brv_is_valid give for it, then the status texts. Prints
 * "N passed, N failed". The Python module calls the same functions: its tests run
 * the forms people write, in the sample files, through them (tests/python). */
#include "brelvoxa.h"

#include <stdio.h>
#include <string.h>

static const struct row {
    const char* text;
    size_t len; /* 0: strlen(text) */
    brv_status status;
    const char *paper, *bic, *suggestion;
    brv_fault fault;
} rows[] = {
    {"2100 0418 45 0200051332", 0, BRV_CORRECT, "ES91 2100 0418 4502 0005 1332", "CAIXESBBXXX", "",
     BRV_FAULT_NONE},
    {"GB29NWBK60161331926819", 0, BRV_FOREIGN_CORRECT, "GB29 NWBK 6016 1331 9268 19", "", "",
     BRV_FAULT_NONE},
    {"ES91 2100 0418 4502 0005 1323", 0, BRV_WRONG_CONTROL_DIGITS, "", "",
     "ES91 2100 0418 4502 0005 1332", BRV_FAULT_CHECKSUM},
    /* A Belgian account's own check digits wrong, its IBAN's made to fit: well formed,
     * so its IBAN is written. */
    {"BE41 5390 0754 7035", 0, BRV_WRONG_NATIONAL_DIGITS, "BE41 5390 0754 7035", "", "",
     BRV_FAULT_CHECKSUM},
    /* Windows-1252's no-break space is no UTF-8. */
    {"2100\xA0"
     "0418450200051332",
     0, BRV_NOT_AN_ACCOUNT, "", "", "", BRV_FAULT_FORMAT},
    {NULL, 0, BRV_NO_ACCOUNT, "", "", "", BRV_FAULT_LENGTH},
    /* A spreadsheet's number for the account. */
    {"2,10004E+19", 0, BRV_SCIENTIFIC_NOTATION, "", "", "", BRV_FAULT_FORMAT},
    /* A line as a file gives it: white space and its line end stripped, but a line
     * end inside is no account, and one alone is an empty cell. */
    {"21000418450200051332\n", 0, BRV_CORRECT, "ES91 2100 0418 4502 0005 1332", "CAIXESBBXXX", "",
     BRV_FAULT_NONE},
    {" \tES91 2100 0418 4502 0005 1332 \r\n", 0, BRV_CORRECT, "ES91 2100 0418 4502 0005 1332",
     "CAIXESBBXXX", "", BRV_FAULT_NONE},
    {"\r\n", 0, BRV_NO_ACCOUNT, "", "", "", BRV_FAULT_LENGTH},
    {"2100 0418 45\r0200051332", 0, BRV_NOT_AN_ACCOUNT, "", "", "", BRV_FAULT_FORMAT},
    /* len, not a NUL, ends the text: the digit after it is never read. */
    {"21000418450200051332"
     "9",
     20, BRV_CORRECT, "ES91 2100 0418 4502 0005 1332", "CAIXESBBXXX", "", BRV_FAULT_NONE},
};

static int passed, failed;

static void expect(int ok, const char* what, size_t row) {
    ok ? ++passed : ++failed;
    if (!ok)
        printf("row %zu: %s\n", row, what);
}

int main(void) {
    for (size_t i = 0; i < sizeof rows / sizeof rows[0]; ++i) {
        const struct row* r = &rows[i];
        const size_t len = r->len ? r->len : r->text ? strlen(r->text) : 0;
        brv_result out;
        expect(brv_check(r->text, len, &out) == r->status && out.status == r->status, "status", i);
        expect(!strcmp(out.paper, r->paper) && !strcmp(out.bic, r->bic), "IBAN and BIC", i);
        expect(!strcmp(out.suggestion, r->suggestion), "suggestion", i);
        expect((out.status == BRV_CORRECT) == (out.name[0] != '\0'), "name when listed", i);
        expect(brv_check_fault(r->text, len) == r->fault, "fault", i);
        expect(brv_is_valid(r->text, len) == BRV_IS_CORRECT(r->status), "is_valid", i);
    }
    for (int s = 0; s < BRV_STATUS_COUNT; ++s)
        expect(brv_status_text((brv_status)s)[0] != '\0', "status text", (size_t)s);
    expect(!strcmp(brv_status_text(BRV_WRONG_CONTROL_DIGITS), "dígits de control incorrectes") &&
               brv_status_text(BRV_STATUS_COUNT)[0] == '\0',
           "status texts", 0);
    printf("%d passed, %d failed\n", passed, failed);
    return failed != 0;
}
