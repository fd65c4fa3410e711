// SPDX-License-Identifier: GPL-3.0-or-later
// Two rows, as the real table spells them, for the typed-lists check to find.
        { .name = "Alpha",
        { .name = "Beta32",
