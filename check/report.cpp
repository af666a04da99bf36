#include "report.h"

#include <stdio.h>
#include <string.h>

#include "check/checks.h"

#define EXIT_FAILED 1
#define EXIT_NOT_STARTED 2

static const char *const verdictNames[] = {"", "PASS", "WARN", "FAIL"};

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

static void PrintJsonChecks(const CheckContext *context)
{
    const char *separator = "";

    for (int id = 0; id < CHECK_COUNT; id++) {
        const CheckResult *result = &context->results[id];

        if (result->verdict == VERDICT_NONE)
            continue;
        printf("%s        {\"name\": \"%s\", \"verdict\": \"%s\", \"why\": ", separator, checkTable[id].name,
               verdictNames[result->verdict]);
        PrintJsonString(result->why);
        printf(", \"figure\": ");
        PrintJsonString(result->figure);
        printf("}");
        separator = ",\n";
    }
    printf("\n");
}

static void PrintJsonReport(const CheckContext *context, const SaverSummary *summary, const char *error)
{
    printf("    {\n      \"saver\": ");
    PrintJsonString(context->path);
    if (summary->started != 1) {
        printf(",\n      \"error\": ");
        PrintJsonString(error);
        printf("\n    }");
        return;
    }
    printf(",\n      \"checks\": [\n");
    PrintJsonChecks(context);
    printf("      ],\n      \"passed\": %d, \"warned\": %d, \"failed\": %d\n    }", summary->counts[VERDICT_PASS],
           summary->counts[VERDICT_WARN], summary->counts[VERDICT_FAIL]);
}

static void PrintTextReport(const CheckContext *context, int first)
{
    printf("%s%s\n", first == 1 ? "" : "\n", context->path);
    for (int id = 0; id < CHECK_COUNT; id++) {
        const CheckResult *result = &context->results[id];

        if (result->verdict == VERDICT_NONE)
            continue;
        printf("%s %s", verdictNames[result->verdict], checkTable[id].name);
        if (result->why[0] != '\0')
            printf(": %s", result->why);
        if (result->figure[0] != '\0')
            printf(" (%s)", result->figure);
        printf("\n");
    }
}

static void Summarise(const CheckContext *context, SaverSummary *summary)
{
    const char *name = strrchr(context->path, '\\');

    ZeroMemory(summary, sizeof(*summary));
    snprintf(summary->name, sizeof(summary->name), "%s", name != NULL ? name + 1 : context->path);
    for (int id = 0; id < CHECK_COUNT; id++)
        summary->counts[context->results[id].verdict]++;
    summary->started = context->startFailed != 1;
    summary->startError = context->startError;
}

void BeginReports(int json)
{
    if (json == 1)
        printf("{\n  \"reports\": [\n");
}

int PrintReport(const CheckContext *context, int json, int first, SaverSummary *summary)
{
    char error[80];

    Summarise(context, summary);
    snprintf(error, sizeof(error), "not a program Windows can start (error %lu)", context->startError);
    if (summary->started != 1)
        fprintf(stderr, "novracheck: %s: %s\n", context->path, error);
    if (json == 1) {
        printf("%s", first == 1 ? "" : ",\n");
        PrintJsonReport(context, summary, error);
    } else if (summary->started == 1)
        PrintTextReport(context, first);
    if (summary->started != 1)
        return EXIT_NOT_STARTED;
    return summary->counts[VERDICT_FAIL] > 0 ? EXIT_FAILED : 0;
}

void EndReports(int json, const SaverSummary *summaries, int count)
{
    if (json == 1) {
        printf("\n  ]\n}\n");
        return;
    }
    printf("\n");
    for (int index = 0; index < count; index++) {
        const SaverSummary *summary = &summaries[index];

        if (summary->started == 1)
            printf("%s: %d passed, %d warned, %d failed\n", summary->name, summary->counts[VERDICT_PASS],
                   summary->counts[VERDICT_WARN], summary->counts[VERDICT_FAIL]);
        else
            printf("%s: not started (error %lu)\n", summary->name, summary->startError);
    }
}
