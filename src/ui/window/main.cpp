// SPDX-License-Identifier: GPL-3.0-or-later
#include <QApplication>

#include "ui/window/CommandLine.h"

int main(int argc, char** argv)
{
    return tamrel::runProgram(argc, argv);
}
