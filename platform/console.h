// Whether the standard streams are a terminal (questions and progress are only for people).
#pragma once

bool StdinIsTerminal();
bool StderrIsTerminal();
