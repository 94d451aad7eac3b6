#include "immediate_mode.h"

#include <GL/glu.h>

#include <cmath>

namespace {

const double PI = 3.14159265358979323846;

struct Vector {
    double x;
    double y;
    double z;
};

Vector cross(const Vector& a, const Vector& b)
{
    return Vector{a.y * b.z - a.z * b.y, a.z * b.x - a.x * b.z, a.x * b.y - a.y * b.x};
}

Vector normalised(const Vector& v)
{
    const double length = std::sqrt(v.x * v.x + v.y * v.y + v.z * v.z);
    return length == 0.0 ? v : Vector{v.x / length, v.y / length, v.z / length};
}

}

void gluPerspective(GLdouble fovy, GLdouble aspect, GLdouble zNear, GLdouble zFar)
{
    const double cotangent = 1.0 / std::tan(fovy * PI / 360.0);
    const double depth = zNear - zFar;
    web::multiplyCurrentMatrix({cotangent / aspect, 0, 0, 0, 0, cotangent, 0, 0, 0, 0, (zFar + zNear) / depth, -1, 0,
                                0, 2.0 * zFar * zNear / depth, 0});
}

void gluLookAt(GLdouble eyeX, GLdouble eyeY, GLdouble eyeZ, GLdouble centerX, GLdouble centerY, GLdouble centerZ,
               GLdouble upX, GLdouble upY, GLdouble upZ)
{
    const Vector forward = normalised(Vector{centerX - eyeX, centerY - eyeY, centerZ - eyeZ});
    const Vector side = normalised(cross(forward, Vector{upX, upY, upZ}));
    const Vector up = cross(side, forward);
    web::multiplyCurrentMatrix({side.x, up.x, -forward.x, 0, side.y, up.y, -forward.y, 0, side.z, up.z, -forward.z, 0,
                                0, 0, 0, 1});
    web::multiplyCurrentMatrix({1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, -eyeX, -eyeY, -eyeZ, 1});
}
