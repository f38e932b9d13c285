// Small dense matrices of extended values for the inverse Helmert transform: Gauss-Jordan
// inversion in place without row exchanges, and multiplication into a new matrix.
#include "positioning/Geodesy.h"

#include <cmath>
#include <vector>

long double **MatrixInverse(long double **Matrix, int n) {
  // Reduced on a copy so that a singular matrix comes back as it was, not half inverted.
  std::vector<long double> m(static_cast<std::size_t>(n) * n);
  const auto at = [&m, n](int row, int col) -> long double & {
    return m[static_cast<std::size_t>(row) * n + col];
  };
  for (int r = 0; r < n; ++r)
    for (int c = 0; c < n; ++c)
      at(r, c) = Matrix[r][c];

  for (int i = 0; i < n; ++i) {
    // Without row exchanges a zero pivot means no inverse this way; dividing by it would fill
    // the matrix with infinities and NaNs that end up as coordinates.
    if (at(i, i) == 0 || !std::isfinite(at(i, i)))
      return nullptr;
    at(i, i) = -1 / at(i, i);
    for (int j = 0; j < n; ++j)
      if (j != i)
        at(j, i) = at(i, i) * at(j, i);
    for (int j = 0; j < n; ++j)
      if (j != i)
        for (int k = 0; k < n; ++k)
          if (k != i)
            at(j, k) = at(j, k) + at(j, i) * at(i, k);
    for (int j = 0; j < n; ++j)
      if (j != i)
        at(i, j) = at(i, i) * at(i, j);
  }
  for (long double &v : m) {
    v = -v;
    if (!std::isfinite(v))
      return nullptr;
  }
  for (int r = 0; r < n; ++r)
    for (int c = 0; c < n; ++c)
      Matrix[r][c] = at(r, c);
  return Matrix;
}

long double **MatrixMultiply(long double **A, int RowsA, int /*ColsA*/, long double **B, int RowsB,
                             int ColsB) {
  auto **C = new long double *[RowsA];
  for (int j = 0; j < RowsA; ++j) {
    C[j] = new long double[ColsB];
    for (int k = 0; k < ColsB; ++k) {
      long double sum = 0;
      for (int l = 0; l < RowsB; ++l)
        sum += A[j][l] * B[l][k];
      C[j][k] = sum;
    }
  }
  return C;
}

void FreeMatrix(long double **Matrix, int Rows) {
  if (!Matrix)
    return;
  for (int r = 0; r < Rows; ++r)
    delete[] Matrix[r];
  delete[] Matrix;
}
