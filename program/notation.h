#pragma once

#include <QtCore/QString>
#include <string>
#include <vector>

// Notation from school and from other programs that the expression language reads otherwise, and
// what to write instead.

// The fix for a slip that makes an expression a syntax error, as the help's table of common
// mistakes names it: "2x は 2*x と書きます", "x**2 は x^2 と書きます", a bracket too few, a
// reserved word where a value belongs. Empty when the text shows none of them.
QString SyntaxSlipHint(const QString& expression);

// What a draw read otherwise than a student most likely meant, one sentence a line: each name
// read that is a built-in's name glued to x or a digit ("sinx はひとつの名前として読みました。
// sin(x) と書きます。"), an expression starting with "y=", a name e. names are the names the
// expression read besides x and pi. Empty when there is nothing of the kind.
QString NotationNotice(const QString& expression, const std::vector<std::string>& names);

// The title of the box that shows NotationNotice: "式の書き方" (how to write an expression).
QString NotationNoticeTitle();
