#include "report.h"

#include <windows.h>
#include <stdarg.h>
#include <stdio.h>
#include <string.h>

static const char *const verdictNames[] = {"PASS", "WARN", "FAIL"};

int IsWanted(const Report *report, const char *name)
{
    size_t length = strlen(name);
    const char *item = report->only;

    if (item == NULL)
        return 1;
    while (item != NULL) {
        if (strncmp(item, name, length) == 0 && (item[length] == ',' || item[length] == '\0'))
            return 1;
        item = strchr(item, ',');
        if (item != NULL)
            item++;
    }
    return 0;
}

void AddResult(Report *report, const char *name, int verdict, const char *figure, const char *why, ...)
{
    CheckResult *result;
    va_list list;

    if (IsWanted(report, name) != 1 || report->count >= RESULT_LIMIT)
        return;
    result = &report->results[report->count];
    report->count++;
    result->name = name;
    result->verdict = verdict;
    snprintf(result->figure, sizeof(result->figure), "%s", figure);
    va_start(list, why);
    vsnprintf(result->why, sizeof(result->why), why, list);
    va_end(list);
}

/* Paths come in the ANSI code page; JSON is UTF-8, so the text goes
 * through UTF-16 before it is escaped. */
static void PrintJsonString(const char *text)
{
    WCHAR wide[1024];
    char utf8[3072];
    int length = MultiByteToWideChar(CP_ACP, 0, text, -1, wide, 1024);

    if (length == 0 || WideCharToMultiByte(CP_UTF8, 0, wide, -1, utf8, sizeof(utf8), NULL, NULL) == 0)
        utf8[0] = '\0';
    putchar('"');
    for (const unsigned char *byte = (const unsigned char *)utf8; *byte != '\0'; byte++) {
        if (*byte == '"' || *byte == '\\')
            printf("\\%c", *byte);
        else if (*byte < 0x20)
            printf("\\u%04x", *byte);
        else
            putchar(*byte);
    }
    putchar('"');
}

static void PrintJsonResult(const CheckResult *result, int last)
{
    printf("    {\"name\": \"%s\", \"verdict\": \"%s\", \"why\": ", result->name,
           verdictNames[result->verdict]);
    PrintJsonString(result->why);
    printf(", \"figure\": ");
    PrintJsonString(result->figure);
    printf("}%s\n", last == 1 ? "" : ",");
}

static void PrintTextResult(const CheckResult *result)
{
    printf("%s %s", verdictNames[result->verdict], result->name);
    if (result->why[0] != '\0')
        printf(": %s", result->why);
    if (result->figure[0] != '\0')
        printf(" (%s)", result->figure);
    printf("\n");
}

int PrintReport(const Report *report, int json)
{
    int counts[3] = {0, 0, 0};

    for (int index = 0; index < report->count; index++)
        counts[report->results[index].verdict]++;
    if (json == 1) {
        printf("{\n  \"saver\": ");
        PrintJsonString(report->saver);
        printf(",\n  \"checks\": [\n");
    }
    for (int index = 0; index < report->count; index++) {
        if (json == 1)
            PrintJsonResult(&report->results[index], index == report->count - 1);
        else
            PrintTextResult(&report->results[index]);
    }
    if (json == 1)
        printf("  ],\n  \"passed\": %d, \"warned\": %d, \"failed\": %d\n}\n", counts[0], counts[1], counts[2]);
    else
        printf("%d passed, %d warned, %d failed\n", counts[0], counts[1], counts[2]);
    return counts[VERDICT_FAIL] > 0 ? 1 : 0;
}
