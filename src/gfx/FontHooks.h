// What the device-loss recovery does to every live font: drop what the lost device held,
// and rebuild it afterwards.
#pragma once

void FontsOnLostDevice();
void FontsRestore();
