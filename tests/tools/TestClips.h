// Short clips made with ffmpeg for the live window's tests: one recorded on
// its side as phones do (a quarter-turn display matrix), one with wide
// pixels, and one whose every frame carries its number as its grey level.
#pragma once

#include <cstdint>
#include <cstdlib>
#include <string>

namespace refhosttest {

enum class TestClip {
    Rotated,   // stored 160x90, red left and blue right, shown turned: 90x160
    WidePixels,  // stored 80x90 with pixels twice as wide as tall: shown 160x90
    Numbered,  // 64x48, 10 frames/s, 60 frames; frame N is grey N * 4, stored losslessly
};

// The grey level of frame N of the numbered clip, and back.
constexpr uint8_t NumberedGrey(int frame) { return static_cast<uint8_t>(frame * 4); }
constexpr int NumberedFrame(uint8_t grey) { return (grey + 2) / 4; }

// False when ffmpeg could not make it.
inline bool MakeTestClip(const std::string& path, TestClip clip)
{
    const std::string ffmpeg = "ffmpeg -v error -nostdin -y -f lavfi -i ";
    std::string command;
    switch (clip) {
    case TestClip::Rotated:
        // The matrix is written by a stream copy; an encode would drop the tag.
        command = ffmpeg + "'color=c=red:s=80x90:d=1:r=10[a];color=c=blue:s=80x90:d=1:r=10[b];[a][b]hstack' " +
                  "-c:v mpeg4 -q:v 2 '" + path + ".flat.mp4' && ffmpeg -v error -nostdin -y -i '" + path +
                  ".flat.mp4' -c copy -metadata:s:v:0 rotate=90 '" + path + "' && rm '" + path + ".flat.mp4'";
        break;
    case TestClip::WidePixels:
        command = ffmpeg + "'color=c=red:s=80x90:d=1:r=10,setsar=2' -c:v mpeg4 '" + path + "'";
        break;
    case TestClip::Numbered:
        command = ffmpeg + "'color=c=black:s=64x48:r=10:d=6,format=rgb24,geq=r=N*4:g=N*4:b=N*4' " +
                  "-c:v ffv1 -pix_fmt bgr0 -f matroska '" + path + "'";
        break;
    }
    return std::system(command.c_str()) == 0;
}

}  // namespace refhosttest
