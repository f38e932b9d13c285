// Geodesy toolkit: WGS84 positions to a local datum (ECEF and seven-parameter Helmert
// transforms) and a Transverse Mercator grid, passing numbers as texts from one step to the next.
#pragma once

#include <string>

// Number texts use "." decimals whatever the locale. Angles are decimal degrees at every text
// interface. A routine that cannot read its point, or whose numbers are not finite, returns the
// failure text "0" (ECEFToGeodetic: the empty text); never a NaN text.

// "r"/"R": degrees to radians; "d"/"D": radians to degrees; any other unit: 0.
long double ConvertAngle(long double Value, const std::string &Unit);

// Point "lat lon"; TMParameters "λ0 φ0 k0 FE FN"; ProjectionEllipsoid "skip skip a f".
// Result: "easting northing" (one blank).
std::string ProjectTM(const std::string &Point, const std::string &TMParameters,
                      const std::string &ProjectionEllipsoid);

// Result: "X\tY\tZ".
std::string GeodeticToECEF(long double Latitude, long double Longitude, long double Height,
                           long double a, long double f);

// Matrices are arrays of `new long double[]` rows held in a `new long double *[]` array.
// In place, no row exchanges; returns Matrix, or nullptr (Matrix unchanged) when a pivot is zero
// or the inverse is not finite.
long double **MatrixInverse(long double **Matrix, int n);
// A new RowsA x ColsB matrix (ColsA is not read); free it with FreeMatrix.
long double **MatrixMultiply(long double **A, int RowsA, int ColsA, long double **B, int RowsB,
                             int ColsB);
void FreeMatrix(long double **Matrix, int Rows);

// Helmert "X Y Z ppm rx ry rz tx ty tz" (rotations in arc-seconds, coordinate-frame rotation).
// Direction "WGS": X' = T + s·R·X; any other direction: the inverse. Result: "X\tY\tZ" or "0".
std::string HelmertTransform(const std::string &Direction, const std::string &Helmert);

// Result: "lat\tlon\theight" (8, 8 and 2 decimals), or "" at a pole, for non-finite values and
// when the latitude does not settle within 50 passes.
std::string ECEFToGeodetic(long double X, long double Y, long double Z, long double a,
                           long double f);

// Point "lat lon h"; DatumParameters: a1 f1 (7-parameter source set) a2 f2 (target set).
// Mode "XYZ": the target ECEF text; any other mode: the target ECEFToGeodetic text; or "0".
std::string DatumTransform(const std::string &Mode, const std::string &Point,
                           const std::string &DatumParameters);

// Point "lat lon" on WGS84 to "easting northing" of the local grid, or "0".
std::string ProjectBLH(const std::string &Point, const std::string &DatumParameters,
                       const std::string &TMParameters, const std::string &ProjectionEllipsoid);

// "PtScFac": the point scale factor; "GrdConv": the grid convergence in degrees, the angle to
// add to a true bearing to get the grid bearing (negative east of the central meridian in the
// northern hemisphere); any other selector or a non-finite argument that is read: 0.
// ReferenceLatitude, FalseEasting and FalseNorthing are not read.
long double TMScaleOrConvergence(const std::string &Selector, double a, double f, double Latitude,
                                 double Longitude, double CentralMeridian, double ReferenceLatitude,
                                 double ScaleFactor, double FalseEasting, double FalseNorthing);
