// SPDX-License-Identifier: GPL-3.0-or-later
// A help text that types the scheme list again: the check must name this line.
const char* help = "Alpha or Beta32.";
