# CTest cases of smooth, derivative, spectrum, density and the plots of describe
# and pca. The data files are written by small numpy scripts given beside them:
#   signal_series.csv: t = 0, 0.5, ..., 19.5; y = round(sin(0.3 i) + 0.1 ((7 i) mod 5), 4), i = 0..39
#   wave.csv:   x = round(sin(2 pi 5 i/64) + 0.5 cos(2 pi 12 i/64) + 0.05 ((13 i) mod 7), 4), i = 0..63
#   kde.csv:    v = 1.2 2.5 2.7 3.1 4.0 4.4 5.9 6.3 7.7 8.0 8.1 9.5; w = 0..11, row 4 empty
# Reference figures: scipy 1.10.1, numpy 1.24.2, with y, x, v as above.

# ---- smooth ---------------------------------------------------------------------
# numpy.convolve(y, numpy.ones(5)/5, 'valid')[:3] = 0.71508 0.91458 1.05024, [-1] = -0.7073:
# rows 3..5, rows 1, 2 repeat row 3, rows 39, 40 repeat row 38.
nuvstat_test(smooth_mean ARGS smooth --column y ${D}/signal_series.csv
  OUT "method: mean" "width: 5"
      "\n *row +y +y_mean\n" "\n1 +0 +0\\.71508\n" "\n2 +0\\.4955 +0\\.71508\n"
      "\n3 +0\\.9646 +0\\.71508\n" "\n4 +0\\.8833 +0\\.91458\n" "\n5 +1\\.232 +1\\.05024\n"
      "\n38 +[-0-9.]+ +-0\\.7073\n" "\n40 +[-0-9.]+ +-0\\.7073\n")
# numpy.convolve(y, [1, 2, 3, 2, 1]/9, 'valid')[:3] = 0.764822 0.948456 1.06622
nuvstat_test(smooth_triangle ARGS smooth --column 2 --method triangle ${D}/signal_series.csv
  OUT "\n3 +0\\.9646 +0\\.764822\n" "\n4 +0\\.8833 +0\\.948456\n" "\n5 +1\\.232 +1\\.06622\n")
# scipy.signal.medfilt(y, 5)[2:5] = 0.8833 0.9646 0.9975, [-3] = -0.7809
nuvstat_test(smooth_median ARGS smooth --column y --method median ${D}/signal_series.csv
  OUT "\n1 +0 +0\\.8833\n" "\n3 +0\\.9646 +0\\.8833\n" "\n4 +0\\.8833 +0\\.9646\n"
      "\n5 +1\\.232 +0\\.9975\n" "\n40 +[-0-9.]+ +-0\\.7809\n")
# scipy.signal.savgol_filter(y, 7, 2)[3:6] = 1.02353 1.08603 1.16079, [-4] = -0.777652
nuvstat_test(smooth_savgol ARGS smooth --column y --method savgol --width 7 ${D}/signal_series.csv
  OUT "\n1 +0 +1\\.02353\n" "\n4 +0\\.8833 +1\\.02353\n" "\n5 +1\\.232 +1\\.08603\n"
      "\n6 +0\\.9975 +1\\.16079\n" "\n37 +[-0-9.]+ +-0\\.777652\n" "\n40 +[-0-9.]+ +-0\\.777652\n")
nuvstat_test(smooth_csv ARGS smooth --column y --format csv ${D}/signal_series.csv CSV_TABLE
  OUT "^row,y,y_mean\n1,0,0\\.71508\n")

# ---- derivative -----------------------------------------------------------------
# scipy.signal.savgol_filter(y, 5, 2, deriv=1, delta=0.5)[2:5] = 0.57036 0.25428 0.10652,
# [-3] = 0.1594; the step 0.5 taken from t.
nuvstat_test(derivative_first_x ARGS derivative --column y --x t ${D}/signal_series.csv
  OUT "step: 0\\.5" "\n *row +y +y_d1\n" "\n1 +0 +0\\.57036\n" "\n3 +0\\.9646 +0\\.57036\n"
      "\n4 +0\\.8833 +0\\.25428\n" "\n5 +1\\.232 +0\\.10652\n" "\n40 +[-0-9.]+ +0\\.1594\n")
# scipy.signal.savgol_filter(y, 7, 2, deriv=2, delta=0.5)[3:6] = -0.405143 -0.169229 -0.238752
nuvstat_test(derivative_second_step ARGS derivative --column y --order 2 --width 7 --step 0.5
  ${D}/signal_series.csv
  OUT "\n4 +0\\.8833 +-0\\.405143\n" "\n5 +1\\.232 +-0\\.169229\n" "\n6 +0\\.9975 +-0\\.238752\n")

# ---- spectrum -------------------------------------------------------------------
# scipy.signal.welch(x, fs=1, window='boxcar', nperseg=64, noverlap=32, detrend='constant',
# scaling='density')[1][[5, 12, 32]] = 32.2526 7.8508 0.00034969; scaling='spectrum' at
# line 5: 0.503946 (the sine of amplitude 1: about 1/2).
nuvstat_test(spectrum_rectangle ARGS spectrum --column x --window rectangle ${D}/wave.csv
  OUT "segment: 64" "segments: 1" "frequency unit: cycles per row"
      "\n *line +frequency +density +power\n" "\n5 +0\\.078125 +32\\.2526 +0\\.503946\n"
      "\n12 +0\\.1875 +7\\.8508 +" "\n32 +0\\.5 +0\\.00034969 +")
# The library's cos^2 window is scipy's periodic Hann shifted by one sample:
# w = numpy.roll(scipy.signal.get_window('hann', 32), -1);
# scipy.signal.welch(x, fs=8, window=w, nperseg=32, noverlap=16, detrend='constant',
# scaling='density')[1][[1, 6]] = 0.0160328 0.330599; scaling='spectrum'[[3, 6]] =
# 0.372565 0.123975; three segments.
nuvstat_test(spectrum_hann_rate ARGS spectrum --column x --segment 32 --rate 8 ${D}/wave.csv
  OUT "window: hann" "segments: 3" "\n1 +0\\.25 +0\\.0160328 +"
      "\n3 +0\\.75 +[0-9.e-]+ +0\\.372565\n" "\n6 +1\\.5 +0\\.330599 +0\\.123975\n")

# ---- density --------------------------------------------------------------------
# scipy.stats.gaussian_kde(v, bw_method=0.5/numpy.std(v, ddof=1))(numpy.arange(11)):
# 0.0037327 0.0623322 0.0897052 0.171459 ... 0.188155 (x = 8) 0.0647492 0.0404011
nuvstat_test(density_fixed_width ARGS density --column v --width 0.5 --from 0 --to 10 --grid 11
  ${D}/kde.csv
  OUT "kernel width: 0\\.5" "\n *point +x +density\n" "\n1 +0 +0\\.0037327\n"
      "\n2 +1 +0\\.0623322\n" "\n4 +3 +0\\.171459\n" "\n9 +8 +0\\.188155\n" "\n11 +10 +0\\.0404011\n")
# scipy.stats.gaussian_kde(v) (Scott's rule): width sd n^-0.2 = 1.6266, density at 2 and
# 5: 0.0908367 0.106517
nuvstat_test(density_scott ARGS density --column v --from 2 --to 5 --grid 11 ${D}/kde.csv
  OUT "kernel width: 1\\.62659695946" "width rule: Scott" "\n1 +2 +0\\.0908367\n" "\n11 +5 +0\\.106517\n")
# w = 0..11 without 3: the missing cell is left out and counted.
nuvstat_test(density_missing ARGS density --column w --format json ${D}/kde.csv
  OUT "\"values\": 11" "\"missing values left out\": 1")

# ---- errors ---------------------------------------------------------------------
nuvstat_test(error_smooth_gap ARGS smooth --column y ${D}/signal_series_gap.csv EXIT 2 OUT_EMPTY
  ERR "^nuvstat: [^\n]*signal_series_gap\\.csv, data row 7, column \"y\": missing value: smooth needs a number in every row")
nuvstat_test(error_spectrum_gap ARGS spectrum --column y ${D}/signal_series_gap.csv EXIT 2 OUT_EMPTY
  ERR "^nuvstat: [^\n]*data row 7, column \"y\": missing value: spectrum")
nuvstat_test(error_smooth_no_column ARGS smooth ${D}/signal_series.csv EXIT 2 OUT_EMPTY
  ERR "^nuvstat: smooth needs --column COLUMN")
nuvstat_test(error_smooth_unknown_column ARGS smooth --column z ${D}/signal_series.csv EXIT 2 OUT_EMPTY
  ERR "^nuvstat: [^\n]*no column \"z\"")
nuvstat_test(error_smooth_even ARGS smooth --column y --width 4 ${D}/signal_series.csv EXIT 2 OUT_EMPTY
  ERR "^nuvstat: --width needs an odd number, not 4")
nuvstat_test(error_savgol_narrow ARGS smooth --column y --method savgol --width 3 ${D}/signal_series.csv
  EXIT 2 OUT_EMPTY ERR "^nuvstat: --width must lie between 5 and 25 here, not 3")
nuvstat_test(error_smooth_wide ARGS smooth --column y --width 41 ${D}/signal_series.csv EXIT 2 OUT_EMPTY
  ERR "^nuvstat: [^\n]*too few rows: smooth with --width 41 needs at least 42, the series has 40")
nuvstat_test(error_smooth_method ARGS smooth --column y --method gauss ${D}/signal_series.csv EXIT 2
  OUT_EMPTY ERR "^nuvstat: unknown method \"gauss\"")
nuvstat_test(error_derivative_uneven_x ARGS derivative --column t --x y ${D}/signal_series.csv EXIT 2
  OUT_EMPTY ERR "^nuvstat: [^\n]*data row 2: --x: column \"y\" is not equally spaced")
nuvstat_test(error_derivative_order ARGS derivative --column y --order 3 ${D}/signal_series.csv EXIT 2
  OUT_EMPTY ERR "^nuvstat: --order needs 1 or 2")
nuvstat_test(error_derivative_step ARGS derivative --column y --step 0 ${D}/signal_series.csv EXIT 2
  OUT_EMPTY ERR "^nuvstat: --step needs a positive number")
nuvstat_test(error_spectrum_segment ARGS spectrum --column x --segment 48 ${D}/wave.csv EXIT 2
  OUT_EMPTY ERR "^nuvstat: --segment needs a power of two, not 48")
nuvstat_test(error_spectrum_long_segment ARGS spectrum --column x --segment 128 ${D}/wave.csv
  EXIT 2 OUT_EMPTY ERR "^nuvstat: [^\n]*--segment 128 is longer than the series \\(64 rows\\)")
nuvstat_test(error_spectrum_window ARGS spectrum --column x --window kaiser ${D}/wave.csv EXIT 2
  OUT_EMPTY ERR "^nuvstat: unknown window \"kaiser\"")
nuvstat_test(error_density_constant ARGS density --column b ${D}/constant.csv EXIT 2 OUT_EMPTY
  ERR "^nuvstat: [^\n]*density needs at least 2 values that are not all equal")
nuvstat_test(error_density_range ARGS density --column v --from 5 --to 1 ${D}/kde.csv EXIT 2
  OUT_EMPTY ERR "^nuvstat: --from must be below --to")
nuvstat_test(error_density_both_widths ARGS density --column v --width 1 --window 2 ${D}/kde.csv
  EXIT 2 OUT_EMPTY ERR "^nuvstat: --width and --window given: choose one")
nuvstat_test(error_pca_by_without_plot ARGS pca --by species ${D}/flowers_with_labels.csv EXIT 2
  OUT_EMPTY ERR "^nuvstat: --by colours the plot: give --plot FILE\\.svg too")
nuvstat_test(error_pca_by_analysed ARGS pca --by sepal_length --plot nowhere.svg
  ${D}/flowers_with_labels.csv EXIT 2 OUT_EMPTY
  ERR "^nuvstat: [^\n]*--by: column \"sepal_length\" is analysed")
nuvstat_test(error_plot_unwritable ARGS density --column v --plot /nonexistent/dir/d.svg
  ${D}/kde.csv EXIT 2 OUT_EMPTY ERR "^nuvstat: [^\n]*/nonexistent/dir/d\\.svg")
nuvstat_test(error_series_header_only ARGS smooth --column a ${D}/header_only.csv EXIT 2 OUT_EMPTY
  ERR "^nuvstat: [^\n]*header_only\\.csv: no data")

# ---- plots ----------------------------------------------------------------------
# 150 flowers, 2 with a missing measurement: one mark per complete row, three species
# and the row without one in four colours with their legend; four eigenvalue bars.
nuvstat_plot_test(pca_scores ARGS pca --by species ${D}/flowers_with_labels.csv
  CIRCLES 148 BARS 4 COLOURS 4 TEXTS setosa versicolor virginica "(missing)" PC1 PC4)
# One column: the scores against the row number, one bar.
nuvstat_plot_test(pca_one_column ARGS pca --columns 1 ${D}/small.csv CIRCLES 5 BARS 1)
# Four columns of 150 values: 1 + ceil(log2 150) = 9 bins each.
nuvstat_plot_test(describe_histograms ARGS describe --sample iris BARS 36
  TEXTS "sepal_length (n = 150)" "petal_width (n = 150)")
# The missing cell of w leaves 11 values: 1 + ceil(log2 n) = 5 bins for both.
nuvstat_plot_test(describe_missing ARGS describe ${D}/kde.csv BARS 10
  TEXTS "v (n = 12)" "w (n = 11)")
nuvstat_plot_test(spectrum ARGS spectrum --column x ${D}/wave.csv LINES 1 CIRCLES 0)
nuvstat_plot_test(density ARGS density --column v ${D}/kde.csv LINES 1 CIRCLES 0)
