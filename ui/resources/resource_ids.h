// Resource identifiers shared by the resource script and the code that loads them.
#pragma once

#define IDI_CORVANE 1        // the application's icon group
#define IDC_CORVANE_HAND 2   // the pointing hand over the link label
