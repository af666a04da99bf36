#include "report.h"

#include <stdio.h>
#include <string.h>

#define EXIT_FAILED 1
#define EXIT_NOT_STARTED 2

static const char *const verdictNames[] = {"", "PASS", "WARN", "FAIL"};

/* Paths come in the ANSI code page; JSON is UTF-8, so the text goes
 * through UTF-16 first. */
static const char *Escape(const char *text, char *out, size_t size)
{
    WCHAR wide[512];
    char utf8[1536];
    size_t used = 0;

    if (MultiByteToWideChar(CP_ACP, 0, text, -1, wide, 512) == 0 ||
        WideCharToMultiByte(CP_UTF8, 0, wide, -1, utf8, sizeof(utf8), NULL, NULL) == 0)
        utf8[0] = '\0';
    for (const unsigned char *byte = (const unsigned char *)utf8; *byte != '\0' && used + 7 < size; byte++) {
        if (*byte == '"' || *byte == '\\')
            used += snprintf(out + used, size - used, "\\%c", *byte);
        else if (*byte < 0x20)
            used += snprintf(out + used, size - used, "\\u%04x", *byte);
        else
            out[used++] = (char)*byte;
    }
    out[used] = '\0';
    return out;
}

/* "FAIL preview.close: why (figure)", as the text report prints it. */
static void FormatLine(char *line, size_t size, int row, const CheckResult *result)
{
    snprintf(line, size, "%s %s%s%s%s%s%s", verdictNames[result->verdict], checkTable[row].name,
             result->why[0] != '\0' ? ": " : "", result->why, result->figure[0] != '\0' ? " (" : "", result->figure,
             result->figure[0] != '\0' ? ")" : "");
}

static void PrintJsonReport(const CheckContext *context, const SaverSummary *summary, const char *error)
{
    char text[2][1600];
    const char *separator = "";

    printf("    {\n      \"saver\": \"%s\"", Escape(context->tally.path, text[0], sizeof(text[0])));
    if (summary->started != 1) {
        printf(",\n      \"error\": \"%s\"\n    }", Escape(error, text[0], sizeof(text[0])));
        return;
    }
    printf(",\n      \"checks\": [\n");
    for (int row = 0; row < CHECK_COUNT; row++) {
        const CheckResult *result = &context->results[row];

        if (result->verdict == VERDICT_NONE)
            continue;
        printf("%s        {\"name\": \"%s\", \"verdict\": \"%s\", \"why\": \"%s\", \"figure\": \"%s\"}", separator,
               checkTable[row].name, verdictNames[result->verdict], Escape(result->why, text[0], sizeof(text[0])),
               Escape(result->figure, text[1], sizeof(text[1])));
        separator = ",\n";
    }
    printf("\n      ],\n      \"passed\": %d, \"warned\": %d, \"failed\": %d\n    }", summary->counts[VERDICT_PASS],
           summary->counts[VERDICT_WARN], summary->counts[VERDICT_FAIL]);
}

void BeginReports(Reports *reports, int json)
{
    ZeroMemory(reports, sizeof(*reports));
    reports->json = json;
    if (json == 1)
        printf("{\n  \"reports\": [\n");
}

/* A saver that was not started has no report of its own on the output:
 * the error output says why, and the summary. */
int Report(Reports *reports, const CheckContext *context)
{
    SaverSummary *summary = &reports->summaries[reports->count++];
    const char *name = strrchr(context->tally.path, '\\');
    char error[80];
    char line[400];

    snprintf(summary->name, sizeof(summary->name), "%s", name != NULL ? name + 1 : context->tally.path);
    for (int row = 0; row < CHECK_COUNT; row++)
        summary->counts[context->results[row].verdict]++;
    summary->started = context->tally.startFailed != 1;
    summary->startError = context->tally.startError;
    snprintf(error, sizeof(error), "not a program Windows can start (error %lu)", context->tally.startError);
    if (summary->started != 1)
        fprintf(stderr, "novracheck: %s: %s\n", context->tally.path, error);
    if (reports->json == 1) {
        printf("%s", reports->printed > 0 ? ",\n" : "");
        PrintJsonReport(context, summary, error);
        reports->printed++;
    } else if (summary->started == 1) {
        printf("%s%s\n", reports->printed > 0 ? "\n" : "", context->tally.path);
        for (int row = 0; row < CHECK_COUNT; row++) {
            FormatLine(line, sizeof(line), row, &context->results[row]);
            if (context->results[row].verdict != VERDICT_NONE)
                printf("%s\n", line);
        }
        reports->printed++;
    }
    if (summary->started != 1)
        return EXIT_NOT_STARTED;
    return summary->counts[VERDICT_FAIL] > 0 ? EXIT_FAILED : 0;
}

void EndReports(Reports *reports)
{
    if (reports->json == 1) {
        printf("\n  ]\n}\n");
        return;
    }
    printf("%s", reports->printed > 0 ? "\n" : "");
    for (int index = 0; index < reports->count; index++) {
        const SaverSummary *summary = &reports->summaries[index];

        if (summary->started == 1)
            printf("%s: %d passed, %d warned, %d failed\n", summary->name, summary->counts[VERDICT_PASS],
                   summary->counts[VERDICT_WARN], summary->counts[VERDICT_FAIL]);
        else
            printf("%s: not started (error %lu)\n", summary->name, summary->startError);
    }
}
