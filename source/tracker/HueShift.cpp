// Placeholder until the hue shift lands.
#include "HueShift.h"

void HueShift(float&, float&, float&, float) {}
