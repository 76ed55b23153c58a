// Comparison of a text-defined object (view, procedure, function, trigger)
// with its template text, and its alteration from that text.
#pragma once

#include <string>
#include <vector>

#include "wizard/main_form.h"

namespace reconcile {

// A line as the comparison sees it: trimmed at both ends (codes <= 32) and
// upper-cased (a to z only).
std::string NormalisedLine(const std::string& line);
// A normalised line that is empty or starts with "--".
bool IsSkippableLine(const std::string& normalised);

// True for a CREATE TABLE line: after the first "CREATE" (any case) at least
// one blank (code 32) and then "TABLE".
bool IsCreateTableLine(const std::string& line);

// A stored template line ready to be sent: trimmed at its end, every LF and
// then every CR removed.
std::string SendableLine(const std::string& text);

// The template text as an ALTER batch: every line made sendable, and the
// first line that starts with CREATE and is not a CREATE TABLE line has its
// first "CREATE" replaced by "ALTER".
std::vector<std::string> AlterLines(const std::vector<std::string>& templateTexts);

// The statement texts the steps send.
std::vector<std::string> SetLinesBefore();  // QUOTED_IDENTIFIER OFF, ANSI_NULLS OFF
std::vector<std::string> SetLinesAfter();   // QUOTED_IDENTIFIER OFF, ANSI_NULLS ON
std::string HelpTextLine(const std::string& objectName);
std::string ObjectTextLine(int templateId);

// Compares the server text of f.CurrentTableName with the template text of
// f.CurrentTemplateId. Equal: flags the current row of DM2.ADOT_Objects
// Sprawdzone = 1 (after an alteration when chbRebuildAll is on). Different:
// logs the difference and calls AlterDefinition. Failures are shown; the
// object is then neither altered nor flagged.
void CompareDefinition(wizard::TF_Main& f);

// Runs the template text held by DM2.ADOQ_ObjectText as an ALTER, framed by
// the SET lines. A failed statement goes to ReportSqlError with its lines.
void AlterDefinition(wizard::TF_Main& f);

}  // namespace reconcile
