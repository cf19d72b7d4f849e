#pragma once

// What buffers, textures and fonts share with the device that made them.

namespace platform::gl {

class GlDevice;

// Something that holds OpenGL objects. When a graphics reset takes the context away, the
// device tells it to forget its names, and to make them again in the new context.
class GlResource {
  public:
    virtual ~GlResource() = default;
    virtual void ForgetGl() = 0;
    virtual void RestoreGl() = 0;
};

// A resource may outlive its device; the device clears this when it goes, and from then on
// the resource makes no OpenGL calls.
struct DeviceLink {
    GlDevice* device = nullptr;
};

}  // namespace platform::gl
