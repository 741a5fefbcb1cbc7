// kavet-wintest --editor: the module's editor in a real top-level window, driven by a list of
// steps, and the window's pixels read back into a BMP file for comparison with the headless
// rendering of the same steps.
//
//   kavet-wintest --editor OUT.bmp [STEP...] MODULE.dll
//   kavet-wintest --editor --vst3|--clap [--stereo] OUT.bmp [STEP...] MODULE
//
// The host does what the editor test host of the native build does: creates the effect,
// effOpen, effSetSampleRate 44100, effMainsChanged 1, opens the editor on its window, lets it
// paint, then runs the steps in order:
//   set:INDEX=VALUE        setParameter(INDEX, VALUE)
//   mains:0 | mains:1      effMainsChanged
//   process:LEVEL,FRAMES   FRAMES frames of the constant LEVEL through processReplacing
//   idle                   effEditIdle, then the window's messages until it is quiet
//   click:X,Y              a left click at (X, Y) of the editor (SendInput); the pointer
//                          then goes back off the window
// The pointer is kept off the window between clicks. Exits 0 when the picture was written, 1
// otherwise.
#pragma once

int runEditorCapture(int argc, char** argv); // the arguments after "--editor"
