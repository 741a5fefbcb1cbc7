// The settings of the command line, normalised values (processor.h), as the plain values of
// Kavet's LV2 control ports (lv2/ports.h: dB, pan percent, switch 0/1). The plug-in turns a
// port's value back into a normalised one with the table's inverse law; the port value
// chosen here is the one whose way back comes nearest the setting's value, and gives it
// exactly wherever single precision has such a port value, so that an LV2 plug-in starts
// from the same parameter words as the VST module given the same setting. Near the bottom
// of the gain and trim ranges a step of the dB value is coarser than one of the normalised
// value, and not every setting has its exact port value.
#pragma once

namespace kavet::cli {

// The port value for parameter `index` (core/params.h) at `normalised` (0..1), with the trim
// range in force in the plug-in (dB). A gain of 0 (silence) is the port's floor (kFloorDb).
// Throws HostError for a gain above silence but at or below the floor, which the port would
// take for silence.
float portValueFor(int index, float normalised, double trimRangeDb);

} // namespace kavet::cli
