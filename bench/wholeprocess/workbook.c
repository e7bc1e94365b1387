/* The floor for the workbook: reads the register with the SQLite C API and writes the commission table
   with libxlsxwriter in its default mode: a title, the column headings, then a row for each airline's
   comment and a row for each condition, the airline's code, IATA code, name and BSP mark beside the
   commission and fee texts, with the program's own cell styles and column widths. (Every airline of a
   benchmark register has a condition, so none needs a row of its own.) */

#include "registerwalk.h"

#include <xlsxwriter.h>

#include <stdarg.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <time.h>

enum { CODE_COLUMN, IATA_COLUMN, NAME_COLUMN, BSP_COLUMN, COMMISSION_COLUMN, FEE_COLUMN };

struct Sheet {
    lxw_worksheet* worksheet;
    lxw_format* airline;
    lxw_format* header;
    lxw_format* condition;
    lxw_format* comment;
    sqlite3_stmt* current_airline; /* not stepped while its conditions are read, so its texts stay valid */
    lxw_row_t next_row;
    char* text; /* a buffer the cell texts are composed in */
    size_t text_capacity;
};

static const char* column_text(sqlite3_stmt* row, int column) {
    const unsigned char* text = sqlite3_column_text(row, column);
    return text ? (const char*)text : "";
}

static const char* compose(struct Sheet* sheet, const char* format, ...) {
    va_list arguments;
    va_start(arguments, format);
    const int length = vsnprintf(NULL, 0, format, arguments);
    va_end(arguments);
    if ((size_t)length >= sheet->text_capacity) {
        sheet->text_capacity = (size_t)length + 1;
        sheet->text = realloc(sheet->text, sheet->text_capacity);
        if (!sheet->text) {
            fprintf(stderr, "out of memory\n");
            exit(1);
        }
    }
    va_start(arguments, format);
    vsnprintf(sheet->text, sheet->text_capacity, format, arguments);
    va_end(arguments);
    return sheet->text;
}

static int written(lxw_error error) {
    if (error == LXW_NO_ERROR)
        return 0;
    fprintf(stderr, "writing a cell: %s\n", lxw_strerror(error));
    return 1;
}

static int write_airline_cells(struct Sheet* sheet, lxw_row_t row) {
    sqlite3_stmt* airline = sheet->current_airline;
    lxw_worksheet* ws = sheet->worksheet;
    return written(worksheet_write_string(ws, row, CODE_COLUMN, column_text(airline, AIRLINE_CODE), sheet->airline)) ||
           written(worksheet_write_string(ws, row, IATA_COLUMN, column_text(airline, AIRLINE_IATA), sheet->airline)) ||
           written(worksheet_write_string(ws, row, NAME_COLUMN, column_text(airline, AIRLINE_NAME), sheet->airline)) ||
           written(worksheet_write_string(ws, row, BSP_COLUMN, sqlite3_column_int(airline, AIRLINE_BSP) ? "+" : "-",
                                          sheet->header));
}

static int add_airline(sqlite3_stmt* airline, void* context) {
    struct Sheet* sheet = context;
    sheet->current_airline = airline;
    const char* comment = column_text(airline, AIRLINE_COMMENT);
    if (!*comment)
        return 0;
    const lxw_row_t row = sheet->next_row++;
    return write_airline_cells(sheet, row) || written(worksheet_merge_range(sheet->worksheet, row, COMMISSION_COLUMN,
                                                                            row, FEE_COLUMN, comment, sheet->comment));
}

static int add_condition(sqlite3_stmt* condition, void* context) {
    struct Sheet* sheet = context;
    const lxw_row_t row = sheet->next_row++;
    const char* wording = column_text(condition, CONDITION_WORDING);
    const char* currency = column_text(condition, CONDITION_CURRENCY);
    const char* commission =
        !*currency && sqlite3_column_type(condition, CONDITION_PERCENT) != SQLITE_NULL
            ? compose(sheet, "%s %% = %s", column_text(condition, CONDITION_PERCENT), wording)
            : compose(sheet, "%s %s = %s", column_text(condition, CONDITION_SUM), currency, wording);
    if (write_airline_cells(sheet, row) ||
        written(worksheet_write_string(sheet->worksheet, row, COMMISSION_COLUMN, commission, sheet->condition)))
        return 1;
    const char* fee = column_text(condition, CONDITION_FEE);
    return written(worksheet_write_string(sheet->worksheet, row, FEE_COLUMN,
                                          *fee ? compose(sheet, "%s = %s", fee, wording) : "", sheet->condition));
}

static lxw_format* bordered_format(lxw_workbook* workbook, int bold, int wrap) {
    lxw_format* format = workbook_add_format(workbook);
    format_set_font_size(format, 12);
    format_set_border(format, LXW_BORDER_MEDIUM);
    if (bold)
        format_set_bold(format);
    if (wrap)
        format_set_text_wrap(format);
    return format;
}

static void centre(lxw_format* format) {
    format_set_align(format, LXW_ALIGN_CENTER);
    format_set_align(format, LXW_ALIGN_VERTICAL_CENTER);
}

static int write_title_and_headers(lxw_workbook* workbook, struct Sheet* sheet, const char* day) {
    lxw_format* title = workbook_add_format(workbook);
    format_set_font_size(title, 16);
    format_set_bold(title);
    centre(title);
    static const double widths[] = {30, 30, 60, 30, 120, 120}; /* millimetres, about 2 to a character */
    static const char* const headers[] = {"Код а/к", "Код IATA", "Название", "BSP", "Комиссия", "Сервисный сбор"};
    lxw_worksheet* ws = sheet->worksheet;
    if (written(worksheet_merge_range(ws, 0, CODE_COLUMN, 1, FEE_COLUMN,
                                      compose(sheet, "Комиссионное вознаграждение авиакомпаний %s", day), title)))
        return 1;
    worksheet_set_row(ws, 2, 15 / 0.3528, NULL);
    for (int column = CODE_COLUMN; column <= FEE_COLUMN; ++column) {
        worksheet_set_column(ws, column, column, widths[column] / 2.0, NULL);
        if (written(worksheet_write_string(ws, 2, column, headers[column], sheet->header)))
            return 1;
    }
    sheet->next_row = 3;
    return 0;
}

int main(int argc, char** argv) {
    if (argc != 3) {
        fprintf(stderr, "usage: %s REGISTER WORKBOOK\n", argv[0]);
        return 2;
    }
    char day[16];
    const time_t now = time(NULL);
    strftime(day, sizeof day, "%d.%m.%Y", localtime(&now));

    sqlite3* db = open_register(argv[1]);
    if (!db)
        return 1;
    lxw_workbook* workbook = workbook_new(argv[2]);
    if (!workbook) {
        fprintf(stderr, "%s: cannot create the workbook\n", argv[2]);
        sqlite3_close(db);
        return 1;
    }
    struct Sheet sheet = {0};
    sheet.worksheet = workbook_add_worksheet(workbook, day);
    sheet.header = bordered_format(workbook, 1, 0);
    centre(sheet.header);
    sheet.condition = bordered_format(workbook, 0, 1);
    sheet.airline = bordered_format(workbook, 0, 1);
    centre(sheet.airline);
    sheet.comment = bordered_format(workbook, 0, 1);
    format_set_align(sheet.comment, LXW_ALIGN_LEFT);
    format_set_align(sheet.comment, LXW_ALIGN_VERTICAL_TOP);
    format_set_bg_color(sheet.comment, 0xFFFFE1);

    int result =
        write_title_and_headers(workbook, &sheet, day) || walk_register(db, add_airline, add_condition, &sheet);
    sqlite3_close(db);
    free(sheet.text);
    const lxw_error closing = workbook_close(workbook);
    if (closing != LXW_NO_ERROR) {
        fprintf(stderr, "%s: %s\n", argv[2], lxw_strerror(closing));
        result = 1;
    }
    return result;
}
