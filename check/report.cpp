#include "report.h"

#include <string.h>

#define EXIT_FAILED 1
#define EXIT_NOT_STARTED 2

static const char *const verdictNames[] = {"", "PASS", "WARN", "FAIL"};

/* Paths come in the ANSI code page; JSON and XML are UTF-8, so the text
 * goes through UTF-16 first. XML 1.0 cannot hold most control characters,
 * even escaped: they become blanks. */
static const char *Escape(const char *text, int xml, char *out, size_t size)
{
    static const char *const entities[] = {"&amp;", "&lt;", "&gt;", "&quot;", "&apos;"};
    const char *special = "&<>\"'";
    WCHAR wide[512];
    char utf8[1536];
    size_t used = 0;

    if (MultiByteToWideChar(CP_ACP, 0, text, -1, wide, 512) == 0 ||
        WideCharToMultiByte(CP_UTF8, 0, wide, -1, utf8, sizeof(utf8), NULL, NULL) == 0)
        utf8[0] = '\0';
    for (const unsigned char *byte = (const unsigned char *)utf8; *byte != '\0' && used + 7 < size; byte++) {
        const char *entity = strchr(special, *byte);

        if (xml == 1 && entity != NULL)
            used += snprintf(out + used, size - used, "%s", entities[entity - special]);
        else if (xml == 1 && *byte < 0x20 && *byte != '\t' && *byte != '\n' && *byte != '\r')
            out[used++] = ' ';
        else if (xml != 1 && (*byte == '"' || *byte == '\\'))
            used += snprintf(out + used, size - used, "\\%c", *byte);
        else if (xml != 1 && *byte < 0x20)
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

    printf("    {\n      \"saver\": \"%s\"", Escape(context->tally.path, 0, text[0], sizeof(text[0])));
    if (summary->started != 1) {
        printf(",\n      \"error\": \"%s\"\n    }", Escape(error, 0, text[0], sizeof(text[0])));
        return;
    }
    printf(",\n      \"checks\": [\n");
    for (int row = 0; row < CHECK_COUNT; row++) {
        const CheckResult *result = &context->results[row];

        if (result->verdict == VERDICT_NONE)
            continue;
        printf("%s        {\"name\": \"%s\", \"verdict\": \"%s\", \"why\": \"%s\", \"figure\": \"%s\"}", separator,
               checkTable[row].name, verdictNames[result->verdict], Escape(result->why, 0, text[0], sizeof(text[0])),
               Escape(result->figure, 0, text[1], sizeof(text[1])));
        separator = ",\n";
    }
    printf("\n      ],\n      \"passed\": %d, \"warned\": %d, \"failed\": %d\n    }", summary->counts[VERDICT_PASS],
           summary->counts[VERDICT_WARN], summary->counts[VERDICT_FAIL]);
}

/* A check not asked for is skipped; one asked of a saver that could not
 * be started is an error; a warning passes, its line in system-out. */
static void WriteJUnitSuite(FILE *out, const CheckContext *context, const SaverSummary *summary, const char *error)
{
    char name[1600];
    char text[1600];
    char line[400];
    int wanted = 0;
    DWORD totalMs = 0;

    for (int row = 0; row < CHECK_COUNT; row++) {
        wanted += context->wanted[row];
        totalMs += context->results[row].elapsedMs;
    }
    fprintf(out, "  <testsuite name=\"%s\" tests=\"%d\" failures=\"%d\" errors=\"%d\" skipped=\"%d\" time=\"%.3f\">\n",
            Escape(summary->name, 1, name, sizeof(name)), CHECK_COUNT,
            summary->started == 1 ? summary->counts[VERDICT_FAIL] : 0, summary->started == 1 ? 0 : wanted,
            CHECK_COUNT - wanted, totalMs / 1000.0);
    for (int row = 0; row < CHECK_COUNT; row++) {
        const CheckResult *result = &context->results[row];

        fprintf(out, "    <testcase classname=\"%s\" name=\"%s\" time=\"%.3f\">", name, checkTable[row].name,
                result->elapsedMs / 1000.0);
        FormatLine(line, sizeof(line), row, result);
        if (summary->started != 1 && context->wanted[row] == 1)
            fprintf(out, "<error message=\"%s\"/>", Escape(error, 1, text, sizeof(text)));
        else if (result->verdict == VERDICT_NONE)
            fputs("<skipped/>", out);
        else if (result->verdict == VERDICT_FAIL)
            fprintf(out, "<failure message=\"%s\"/>", Escape(result->why, 1, text, sizeof(text)));
        if (summary->started == 1 && result->verdict != VERDICT_NONE)
            fprintf(out, "<system-out>%s</system-out>", Escape(line, 1, text, sizeof(text)));
        fputs("</testcase>\n", out);
    }
    fputs("  </testsuite>\n", out);
}

int BeginReports(Reports *reports, int json, const char *junitPath)
{
    ZeroMemory(reports, sizeof(*reports));
    reports->json = json;
    if (junitPath != NULL) {
        reports->junit = fopen(junitPath, "wb");
        if (reports->junit == NULL)
            return 0;
        fputs("<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<testsuites>\n", reports->junit);
    }
    if (json == 1)
        printf("{\n  \"reports\": [\n");
    return 1;
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
    if (reports->junit != NULL)
        WriteJUnitSuite(reports->junit, context, summary, error);
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
    if (reports->junit != NULL) {
        fputs("</testsuites>\n", reports->junit);
        fclose(reports->junit);
    }
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
