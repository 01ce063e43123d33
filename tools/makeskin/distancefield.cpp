#include "distancefield.h"

#include <cmath>
#include <limits>

namespace skinart {

namespace {

constexpr double kFar = 1e20;

// Squared distance transform of one line of samples f (kFar = no seed):
// d[q] = min over p of (q - p)^2 + f[p], from the lower envelope of those
// parabolas. v holds the envelope's parabolas, z the borders between them.
void Transform1D(const std::vector<double> &f, std::vector<double> &d, std::vector<int> &v,
                 std::vector<double> &z, int n)
{
    const auto cross = [&f](int q, int p) {
        return ((f[static_cast<std::size_t>(q)] + double(q) * q) -
                (f[static_cast<std::size_t>(p)] + double(p) * p)) /
               (2.0 * (q - p));
    };
    std::size_t k = 0;
    v[0] = 0;
    z[0] = -std::numeric_limits<double>::infinity();
    z[1] = std::numeric_limits<double>::infinity();
    for (int q = 1; q < n; ++q) {
        double s = cross(q, v[k]);
        while (s <= z[k]) {
            --k;
            s = cross(q, v[k]);
        }
        ++k;
        v[k] = q;
        z[k] = s;
        z[k + 1] = std::numeric_limits<double>::infinity();
    }
    k = 0;
    for (int q = 0; q < n; ++q) {
        while (z[k + 1] < q)
            ++k;
        const int p = v[k];
        d[static_cast<std::size_t>(q)] = double(q - p) * (q - p) + f[static_cast<std::size_t>(p)];
    }
}

} // namespace

std::vector<float> DistanceTo(const std::vector<std::uint8_t> &seeds, int w, int h)
{
    const std::size_t count = static_cast<std::size_t>(w) * static_cast<std::size_t>(h);
    std::vector<double> grid(count);
    for (std::size_t i = 0; i < count; ++i)
        grid[i] = seeds[i] ? 0.0 : kFar;

    const std::size_t n = static_cast<std::size_t>(w > h ? w : h);
    std::vector<double> f(n), d(n), z(n + 1);
    std::vector<int> v(n);
    const auto at = [w](int x, int y) {
        return static_cast<std::size_t>(y) * static_cast<std::size_t>(w) +
               static_cast<std::size_t>(x);
    };

    for (int x = 0; x < w; ++x) {
        for (int y = 0; y < h; ++y)
            f[static_cast<std::size_t>(y)] = grid[at(x, y)];
        Transform1D(f, d, v, z, h);
        for (int y = 0; y < h; ++y)
            grid[at(x, y)] = d[static_cast<std::size_t>(y)];
    }
    std::vector<float> out(count);
    for (int y = 0; y < h; ++y) {
        for (int x = 0; x < w; ++x)
            f[static_cast<std::size_t>(x)] = grid[at(x, y)];
        Transform1D(f, d, v, z, w);
        for (int x = 0; x < w; ++x)
            out[at(x, y)] = static_cast<float>(std::sqrt(d[static_cast<std::size_t>(x)]));
    }
    return out;
}

} // namespace skinart
