// motif_probe: the motif files and transformations from outside.
#include <cmath>
#include <cstdio>
#include <iostream>
#include <numbers>
#include <stdexcept>
#include <string>

#include "pattern/motif/motif_exchange.h"
#include "pattern/motif/motif_image.h"
#include "pattern/motif/motif_transform.h"
#include "picture/core/bmp8_file.h"
#include "tests/tools/common/probe_common.h"

namespace {

const char* const kUsage =
    "usage: motif_probe [--home DIR] pcx2bmp IN OUT [--default C]\n"
    "       motif_probe bmp2pcx IN OUT [--default C]\n"
    "       motif_probe transform IN OUT [--levels N] [--transparent T] OP\n"
    "       motif_probe angle X1 Y1 X2 Y2 GX GY X Y\n"
    "ops: scale W H | mirror 1|2|3 | rotate90 | rotate TANGENT | shear N h|v";

double Real(const std::string& text)
{
    size_t used = 0;
    double v = 0;
    try {
        v = std::stod(text, &used);
    } catch (const std::exception&) {
        used = 0;
    }
    if (used == 0 || used != text.size())
        throw ProbeUsage{"bad number: " + text};
    return v;
}

uint8_t DefaultColour(ProbeArgs& args)
{
    const std::string c = TakeOption(args, "--default");
    return static_cast<uint8_t>(c.empty() ? 0 : ProbeNumber(c, 0, 255, "number"));
}

int Report(const ExchangeResult& r)
{
    if (!r) {
        std::cout << "ERROR " << r.error << std::endl;
        return 1;
    }
    std::cout << "OK " << r.width << ' ' << r.height << std::endl;
    return 0;
}

int Convert(ProbeArgs& args, bool toBmp)
{
    const uint8_t colour = DefaultColour(args);
    if (args.size() != 2)
        throw ProbeUsage{"takes IN and OUT"};
    return Report(toBmp ? PcxToBmp(args[0], args[1], colour) : BmpToPcx(args[0], args[1], colour));
}

MotifImage Transformed(const MotifImage& m, const ProbeArgs& op, uint8_t transparent)
{
    auto want = [&](size_t n) {
        if (op.size() != n)
            throw ProbeUsage{"bad operation"};
    };
    const std::string& name = op.front();
    if (name == "scale") {
        want(3);
        return MirrorScaleMotif(m, ProbeNumber(op[1], 1, Bmp8::kMaxWidth, "width"),
                                ProbeNumber(op[2], 1, Bmp8::kMaxHeight, "height"), kMirrorNone);
    }
    if (name == "mirror") {
        want(2);
        return MirrorScaleMotif(m, 0, 0, static_cast<int>(ProbeNumber(op[1], 1, 3, "number")));
    }
    if (name == "rotate90") {
        want(1);
        return RotateMotif90(m);
    }
    if (name == "rotate") {
        want(2);
        const double degrees = std::atan(Real(op[1])) * 180.0 / std::numbers::pi;
        const MotifSize size = RotatedMotifSize(m.width, m.Rows(), degrees);
        return RotateMotif90(m, degrees, size.width, size.rows, transparent);
    }
    if (name == "shear") {
        want(3);
        if (op[2] != "h" && op[2] != "v")
            throw ProbeUsage{"shear takes h or v"};
        return StretchMotif(m, static_cast<int32_t>(ProbeNumber(op[1], -Bmp8::kMaxWidth, Bmp8::kMaxWidth, "number")),
                            op[2] == "v", transparent);
    }
    throw ProbeUsage{"unknown operation " + name};
}

int Transform(ProbeArgs& args)
{
    const std::string levels = TakeOption(args, "--levels");
    const std::string transparent = TakeOption(args, "--transparent");
    if (args.size() < 3)
        throw ProbeUsage{"transform takes IN OUT OP"};
    Bmp8 picture;
    std::string error;
    if (!ReadBmp8(args[0], picture, error)) {
        std::cout << "ERROR " << error << std::endl;
        return 1;
    }
    const MotifImage m = MotifImage::FromBmp(picture, levels.empty() ? 1 : ProbeNumber(levels, 1, 255, "number"));
    const ProbeArgs op(args.begin() + 2, args.end());
    const MotifImage t =
        Transformed(m, op, static_cast<uint8_t>(transparent.empty() ? 255 : ProbeNumber(transparent, 0, 255, "number")));
    Bmp8 out = t.ToBmp();
    out.xPixelsPerMetre = picture.xPixelsPerMetre;
    out.yPixelsPerMetre = picture.yPixelsPerMetre;
    error = WriteBmp8(args[1], out);
    if (!error.empty()) {
        std::cout << "ERROR " << error << std::endl;
        return 1;
    }
    std::cout << "OK " << t.width << ' ' << t.height << std::endl;
    return 0;
}

int Angle(const ProbeArgs& args)
{
    if (args.size() != 8)
        throw ProbeUsage{"angle takes X1 Y1 X2 Y2 GX GY X Y"};
    double v[8];
    for (size_t i = 0; i < 8; ++i)
        v[i] = Real(args[i]);
    double degrees = MotifRotationAngle(v[0], v[1], v[2], v[3], v[4], v[5], v[6], v[7]);
    if (std::abs(degrees) < 0.0005)
        degrees = 0;
    char text[32];
    std::snprintf(text, sizeof text, "%.3f", degrees);
    std::cout << "ANGLE " << text << std::endl;
    return 0;
}

}  // namespace

int main(int argc, char** argv)
{
    return RunProbe("motif_probe", kUsage, [&] {
        ProbeArgs args(argv + 1, argv + argc);
        ProbeHome home;
        home.Enter(TakeOption(args, "--home"), "motif_probe");
        if (args.empty())
            throw ProbeUsage{"no command"};
        const std::string command = args.front();
        args.erase(args.begin());
        if (command == "pcx2bmp" || command == "bmp2pcx")
            return Convert(args, command == "pcx2bmp");
        if (command == "transform")
            return Transform(args);
        if (command == "angle")
            return Angle(args);
        throw ProbeUsage{"unknown command " + command};
    });
}
