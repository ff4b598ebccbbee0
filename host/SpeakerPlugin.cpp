#include "SpeakerPlugin.h"

SpeakerPlugin::SpeakerPlugin(audioMasterCallback audioMaster) : SpeakerEngine(audioMaster) {}
