// Wizard mode as the main program runs it (commands 32781 and 32778): the wizard on the main
// view's presets and command-line sources, built with the build command's own run.
#pragma once

class CMainFrame;
class CSView;

// Runs the wizard to its end. Started with files, the end of the wizard is the end of the program.
void RunWizardMode(CMainFrame& frame, CSView& view);

// True once a wizard started with files has ended and asked the frame to close: start-up then
// leaves the frame hidden.
bool WizardEndedProgram();
