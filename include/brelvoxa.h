/* Brelvoxa's check of a bank account, as a C library (libbrelvoxa.so.1).
 *
 * brv_check() reads one text as brelvoxa reads a cell of a list: a Spanish account
 * of 20 digits or its IBAN, or another country's IBAN, electronic or on paper, with
 * or without "IBAN" in front, with blanks, hyphens or dots between the groups and
 * their look-alikes from PDFs and word processors (no-break and thin spaces, en
 * dashes, full-width digits). It fills a brv_result with what brelvoxa writes in the
 * cells it adds to the row: the IBAN, electronic and on paper, the entity's BIC and
 * registered name, a status, and for an account that fails its checks (a Spanish
 * one, or an IBAN of a country with national check digits) the account one typo
 * away that passes them, when exactly one does.
 *
 * Every function allocates nothing, keeps no state and may be called from any
 * number of threads at once. Texts are UTF-8. C99 and C++. */
#ifndef BRELVOXA_H
#define BRELVOXA_H

#include <stddef.h>

#ifdef __cplusplus
extern "C" {
#endif

#if defined(__GNUC__)
#define BRV_API __attribute__((visibility("default")))
#else
#define BRV_API
#endif

/* The statuses brelvoxa writes; brv_status_text() gives each one's Catalan text.
 * A value never changes: a status added later comes last, before BRV_STATUS_COUNT. */
typedef enum brv_status {
    BRV_CORRECT = 0,              /* a Spanish account, its digits agree, entity listed */
    BRV_UNKNOWN_ENTITY = 1,       /* the same, but the directory does not list its entity */
    BRV_WRONG_CONTROL_DIGITS = 2, /* 20 digits whose domestic control digits disagree */
    BRV_WRONG_IBAN_DIGITS = 3,    /* an IBAN, Spanish or not, whose check digits disagree */
    BRV_ALL_ZEROS = 4,            /* 20 zeros: the digits agree, but no bank issues it */
    BRV_FOREIGN_CORRECT = 5,      /* another country's IBAN: length, structure, digits */
    BRV_FOREIGN_MALFORMED = 6,    /* a registry country, the wrong length or structure */
    BRV_NOT_AN_ACCOUNT = 7,       /* anything else, not UTF-8 or an unknown country too */
    BRV_NO_ACCOUNT = 8,           /* nothing but blanks */
    /* A row of a list that brelvoxa cannot read; brv_check() never gives these. */
    BRV_UNCLOSED_QUOTE = 9,
    BRV_MISSING_COLUMNS = 10,
    BRV_TOO_LONG = 11,
    /* A number a spreadsheet wrote in scientific notation for an account's digits
     * ("2,10004E+19"): the digits it lost are gone. */
    BRV_SCIENTIFIC_NOTATION = 12,
    /* Another country's IBAN, well formed and its check digits right, whose own
     * national check digits inside the account do not agree. */
    BRV_WRONG_NATIONAL_DIGITS = 13,
    /* New statuses go here. */
    BRV_STATUS_COUNT
} brv_status;

/* Whether a status is that of a right account (a Spanish one, its entity listed or
 * not, or another country's IBAN); 0 for a value that is no status. */
BRV_API int brv_status_is_correct(brv_status status);
#define BRV_IS_CORRECT(status) brv_status_is_correct(status)

/* The longest IBAN (34 characters), electronic and on paper (a blank after every
 * four), each with its NUL. */
#define BRV_IBAN_SIZE 35
#define BRV_PAPER_SIZE 43

typedef struct brv_result {
    brv_status status;
    /* The IBAN of a right account, electronic ("ES9121000418450200051332") and on
     * paper ("ES91 2100 0418 4502 0005 1332"), and of a BRV_WRONG_NATIONAL_DIGITS
     * one, which is well formed; "" otherwise. */
    char iban[BRV_IBAN_SIZE];
    char paper[BRV_PAPER_SIZE];
    /* The entity's BIC and registered name (UTF-8) for BRV_CORRECT, else "". They
     * point into the library's constant tables: never NULL, never to be freed. */
    const char* bic;
    const char* name;
    /* For a failing account, Spanish or of a country with national check digits,
     * the one IBAN one typo away that passes every check, on paper; "" when there is
     * none or more than one. Never certain: for a person to read, not to apply. */
    char suggestion[BRV_PAPER_SIZE];
} brv_result;

/* Checks the len bytes at text (no byte past them is read; text may be NULL when
 * len is 0) and fills *out. ASCII white space at either end (space, tab, "\n", "\r",
 * "\v", "\f") is stripped first, so that a line read from a file with its "\n" or
 * "\r\n" is the account alone; a line end inside the text makes it no account. Every
 * function below strips the same. Bytes that are not well-formed UTF-8 make the text
 * BRV_NOT_AN_ACCOUNT. Returns out->status. */
BRV_API brv_status brv_check(const char* text, size_t len, brv_result* out);

/* Whether the len bytes at text are a right account (BRV_IS_CORRECT of brv_check's
 * status), without the search for a suggestion that a failing account costs. */
BRV_API int brv_is_valid(const char* text, size_t len);

/* The account as read from the len bytes at text, before any check: an IBAN in
 * electronic form, upper case, "IBAN" taken off, or a bare domestic account's 20
 * digits. Written at out with its NUL; returns its length, 0 (out "") for a text that
 * is not one account of any shape. */
BRV_API size_t brv_compact(const char* text, size_t len, char out[BRV_IBAN_SIZE]);

/* Why a text is not a right account, in the terms validators give their errors. */
typedef enum brv_fault {
    BRV_FAULT_NONE = 0,      /* a right account */
    BRV_FAULT_LENGTH = 1,    /* too few or too many characters, or none */
    BRV_FAULT_FORMAT = 2,    /* a character out of place, or not UTF-8 */
    BRV_FAULT_CHECKSUM = 3,  /* control digits, IBAN or national, that disagree */
    BRV_FAULT_COMPONENT = 4, /* an unknown country, or the all-zero account */
    BRV_FAULT_COUNT
} brv_fault;

/* The fault of the len bytes at text, found by the same check as brv_check's, without
 * the search for a suggestion. */
BRV_API brv_fault brv_check_fault(const char* text, size_t len);

/* The status as brelvoxa writes it, in Catalan (UTF-8); "" for a value that is no
 * status. */
BRV_API const char* brv_status_text(brv_status status);

/* What is compiled in: the library's version, the entity directory's edition (the
 * register's year: entities merged since are still listed, so a right account's
 * digits agree, not that its bank still issues it) and the IBAN registry's release. */
BRV_API const char* brv_version(void);
BRV_API const char* brv_directory_edition(void);
BRV_API const char* brv_registry_edition(void);

#ifdef __cplusplus
}
#endif

#endif
