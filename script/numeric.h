#pragma once

#include "script/program.h"

// The plain-double form of a program: its translation from the general code and the loop that
// runs it.

namespace script {

// Fills program.numeric when the whole expression can run on plain doubles: numeric constants,
// variables, + - * / ^, negation, comparisons and abs atn cos exp fix int log sgn sin sqr tan.
//
// Whenever the variables it reads hold numbers (Empty, Boolean, Integer, Long, Double), that
// code gives the same number as the general code, bit for bit, except in three cases where it
// has to hand over to the general code:
//  - a variable holding anything else (the loop notices and gives up);
//  - a result that is not finite, at any step (the loop gives up): that is where the general
//    code reports its error, and which error it is depends on the kinds and the order of work;
//  - a result of zero: Integer arithmetic never makes -0, doubles do (0 * -3), so only the
//    sign of a zero can differ, and only the general code knows it.
// Everywhere else the results agree because every operation is the one the general code does
// on the values' doubles: Integer and Long results are exact in a double (a product that outgrows
// Long is widened from its exact value, which rounds the same way double multiplication does), /
// and ^ work on doubles anyway, and comparisons give -1 or 0.
void AddNumericCode(Program& program);

// Runs numeric code on the values of the variables it reads, with a stack of the program's
// numericStackSize doubles. False when the general code has to decide (see above), which
// includes every result of zero.
bool RunNumeric(const NumericInstruction* code, const Value* variables, double* stack,
                double& result);

} // namespace script
