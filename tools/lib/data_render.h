// sortie-data render FILE.3ds OUT.png [YAW PITCH]: a lit still of one model
// drawn by the game's own mesh code in an AllegroGL window (needs an X
// display), written as a PNG.
//
// The camera looks at the model's bounding-box centre from far enough to
// show all of it. YAW and PITCH are degrees: 0 0 looks at the nose (+y) from
// straight ahead, yaw turns the camera round the model's up axis (+z) toward
// its right side, pitch raises it over the nose (90: seen from above, the
// nose at the bottom of the picture). Default 30 20.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

int data_render_command(int argc, char** argv);

// The same, for callers that already have an OpenGL window open: draws
// the model file into the back buffer (w x h) and reads it back as RGB rows,
// top first. False, with a message in error, when the file does not load.
bool render_model_still(const std::string& model_path, float yaw_deg, float pitch_deg, int w, int h,
                        std::vector<uint8_t>& rgb, std::string& error);
