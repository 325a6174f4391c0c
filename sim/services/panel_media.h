#pragma once
// The media seam of the 8051 services filled by the sound and picture services.
#include "sim/picture/picture_service.h"
#include "sim/services/mc8051_seams.h"
#include "sim/sound/sound_service.h"

namespace qv::sim {

class PanelMediaServices : public Mc8051MediaServices {
public:
    // `sound` may be null (no sound); the picture context may lack a canvas (nothing drawn).
    PanelMediaServices(SoundService* sound, PictureServiceContext picture)
        : sound_(sound), picture_(std::move(picture))
    {
    }

    // The panel screen the pictures must fit (set while no user code runs).
    void SetScreenSize(int width, int height)
    {
        picture_.screenWidth = width;
        picture_.screenHeight = height;
    }

    bool serveSound(Mc8051Request& request) override;
    bool servePicture(Mc8051Request& request) override;
    bool soundInProgress() const override { return sound_ && sound_->PlaylistActive(); }
    void checkSoundProgress(std::uint64_t passes) override
    {
        if (sound_)
            sound_->OnEmulatorPass(passes);
    }
    void CloseSound() override
    {
        if (sound_)
            sound_->CloseSound();
    }

private:
    SoundService* sound_;
    PictureServiceContext picture_;
};

} // namespace qv::sim
