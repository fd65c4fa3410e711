// SPDX-License-Identifier: GPL-3.0-or-later
// Build tool: prints the manual page made from the program's option texts.
#include <iostream>

#include "app/ManPage.h"

int main()
{
    std::cout << tamrel::programManPage();
    return std::cout ? 0 : 1;
}
