/* libbrelvoxa from C (compiled as C99): each row a text and what brv_check writes
 * for it; then the status texts, the faults, and the same rows from several threads
 * at once. Prints "N passed, N failed". */
#include "brelvoxa.h"

#include <pthread.h>
#include <stdio.h>
#include <string.h>

struct row {
    const char* text;
    size_t len; /* 0: strlen(text) */
    brv_status status;
    const char *iban, *bic, *suggestion;
    brv_fault fault;
};

static const struct row rows[] = {
    {"2100 0418 45 0200051332", 0, BRV_CORRECT, "ES9121000418450200051332", "CAIXESBBXXX", "",
     BRV_FAULT_NONE},
    /* A no-break space, an en dash and full-width digits, as UTF-8. */
    {"IBAN ES91\xC2\xA0"
     "2100\xE2\x80\x93"
     "0418 4502 0005 \xEF\xBC\x91\xEF\xBC\x93\xEF\xBC\x93"
     "2",
     0, BRV_CORRECT, "ES9121000418450200051332", "CAIXESBBXXX", "", BRV_FAULT_NONE},
    {"GB29 NWBK 6016 1331 9268 19", 0, BRV_FOREIGN_CORRECT, "GB29NWBK60161331926819", "", "",
     BRV_FAULT_NONE},
    {"ES91 2100 0418 4502 0005 1323", 0, BRV_WRONG_CONTROL_DIGITS, "", "",
     "ES91 2100 0418 4502 0005 1332", BRV_FAULT_CHECKSUM},
    {"DE88370400440532013000", 0, BRV_WRONG_IBAN_DIGITS, "", "", "", BRV_FAULT_CHECKSUM},
    {"DE8937040044053201300", 0, BRV_FOREIGN_MALFORMED, "", "", "", BRV_FAULT_LENGTH},
    {"00000000000000000000", 0, BRV_ALL_ZEROS, "", "", "", BRV_FAULT_COMPONENT},
    {"XX89370400440532013000", 0, BRV_NOT_AN_ACCOUNT, "", "", "", BRV_FAULT_COMPONENT},
    {"2100 0418 45 020005133", 0, BRV_NOT_AN_ACCOUNT, "", "", "", BRV_FAULT_LENGTH},
    {"2100\xA0"
     "0418450200051332",
     0, BRV_NOT_AN_ACCOUNT, "", "", "", BRV_FAULT_FORMAT},
    {" \t", 0, BRV_NO_ACCOUNT, "", "", "", BRV_FAULT_LENGTH},
    {NULL, 0, BRV_NO_ACCOUNT, "", "", "", BRV_FAULT_LENGTH},
    /* len, not a NUL, ends the text: the digit after it is never read. */
    {"21000418450200051332"
     "9",
     20, BRV_CORRECT, "ES9121000418450200051332", "CAIXESBBXXX", "", BRV_FAULT_NONE},
    {"21000418450200051332"
     "9",
     21, BRV_NOT_AN_ACCOUNT, "", "", "", BRV_FAULT_LENGTH},
};
enum { nrows = sizeof rows / sizeof rows[0] };

static int passed, failed;

static void expect(int ok, const char* what, size_t row) {
    if (ok) {
        ++passed;
        return;
    }
    ++failed;
    printf("row %zu: %s\n", row, what);
}

/* Whether brv_check gives the row's cells; 0 when it does. */
static int differs(const struct row* r, const brv_result* out) {
    return out->status != r->status || strcmp(out->iban, r->iban) != 0 ||
           strcmp(out->bic, r->bic) != 0 || strcmp(out->suggestion, r->suggestion) != 0;
}

static size_t length(const struct row* r) {
    return r->text == NULL ? 0 : r->len ? r->len : strlen(r->text);
}

static void* check_all(void* times) {
    size_t wrong = 0;
    for (int t = 0; t < *(const int*)times; ++t)
        for (size_t i = 0; i < nrows; ++i) {
            brv_result out;
            brv_check(rows[i].text, length(&rows[i]), &out);
            wrong += differs(&rows[i], &out) != 0;
        }
    return (void*)wrong;
}

int main(void) {
    for (size_t i = 0; i < nrows; ++i) {
        const struct row* r = &rows[i];
        brv_result out;
        expect(brv_check(r->text, length(r), &out) == r->status && !differs(r, &out), "cells", i);
        /* The paper form is the electronic one in groups of four. */
        expect(strlen(out.paper) ==
                   (out.iban[0] ? strlen(out.iban) + (strlen(out.iban) - 1) / 4 : 0),
               "paper form", i);
        expect(BRV_IS_CORRECT(out.status) == (out.iban[0] != '\0'), "IBAN when correct", i);
        expect((out.status == BRV_CORRECT) == (out.name[0] != '\0'), "name when listed", i);
        expect(brv_check_fault(r->text, length(r)) == r->fault, "fault", i);
    }
    for (int s = 0; s < BRV_STATUS_COUNT; ++s)
        expect(brv_status_text((brv_status)s)[0] != '\0', "status text", (size_t)s);
    expect(strcmp(brv_status_text(BRV_WRONG_CONTROL_DIGITS), "dígits de control incorrectes") == 0,
           "status text in Catalan", 0);
    expect(brv_status_text(BRV_STATUS_COUNT)[0] == '\0', "no text past the statuses", 0);
    expect(brv_version()[0] && brv_directory_edition()[0] && brv_registry_edition()[0], "editions",
           0);

    pthread_t threads[4];
    int times = 2000;
    for (int t = 0; t < 4; ++t)
        pthread_create(&threads[t], NULL, check_all, &times);
    for (int t = 0; t < 4; ++t) {
        void* wrong;
        pthread_join(threads[t], &wrong);
        expect(wrong == NULL, "threads at once", (size_t)t);
    }
    printf("%d passed, %d failed\n", passed, failed);
    return failed != 0;
}
