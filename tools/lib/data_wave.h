// sortie-data wave: a scripted pilot flies a vessel of the data against a
// wave of targets and reports how long the wave lasted and how long a held
// trigger keeps each gun group supplied; for balancing the weapons.
#pragma once

int data_wave_command(int argc, char** argv);  // VESSEL.vcd [DATA_DIR [SECONDS]]
