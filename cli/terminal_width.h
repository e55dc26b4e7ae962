// Columns of the terminal that standard error writes to (80 when it cannot be told).
#pragma once

int TerminalColumns();
