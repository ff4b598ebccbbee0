// Band levels in percent that keep the loudness steady as the distortion
// rises, one entry per distortion setting 1..100.
#pragma once

// Level in percent for distortion setting `setting` (limited to 1..100).
int hornCompensation(int setting);
int drumCompensation(int setting);
