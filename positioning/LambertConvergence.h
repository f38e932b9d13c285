// The grid convergence of the Lambert Conformal Conic projection, beside its projection routines.
#pragma once

// The grid convergence of a Lambert cone, in degrees, in the sign convention of the Transverse
// Mercator toolkit (TMScaleOrConvergence "GrdConv"): the angle to add to a true bearing to get
// the grid bearing. Grid north leans east of true north east of the central meridian in the
// northern hemisphere (PROJ's "Meridian convergence" n·(L − L0) is positive there), so the
// angle added is its negative.
double LambertGridConvergence(double coneConstant, double longitudeDeg, double centralMeridianDeg);
