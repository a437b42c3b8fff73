# CTest cases that run the built nuvstat on the bundled sample and on small
# files with hand-computed answers, and check its output and exit status.
set(NUVSTAT_TEST_DATA ${CMAKE_CURRENT_SOURCE_DIR}/tests/data)

# nuvstat_test(<name> ARGS <arg>... [STDIN <file>] [EXIT <status>]
#              [OUT <regex>...] [ERR <regex>...] [OUT_EMPTY] [CSV_TABLE])
function(nuvstat_test name)
  cmake_parse_arguments(T "OUT_EMPTY;CSV_TABLE" "STDIN;EXIT" "ARGS;OUT;ERR" ${ARGN})
  string(REPLACE ";" "@@" args "${T_ARGS}")
  set(defs -DNUVSTAT=$<TARGET_FILE:nuvstat> "-DARGS=${args}")
  if(DEFINED T_STDIN)
    list(APPEND defs -DSTDIN=${T_STDIN})
  endif()
  if(DEFINED T_EXIT)
    list(APPEND defs -DEXIT=${T_EXIT})
  endif()
  if(DEFINED T_OUT)
    string(REPLACE ";" "@@" out "${T_OUT}")
    list(APPEND defs "-DOUT=${out}")
  endif()
  if(DEFINED T_ERR)
    string(REPLACE ";" "@@" err "${T_ERR}")
    list(APPEND defs "-DERR=${err}")
  endif()
  if(T_OUT_EMPTY)
    list(APPEND defs -DOUT_EMPTY=ON)
  endif()
  if(T_CSV_TABLE)
    list(APPEND defs -DCSV_TABLE=ON)
  endif()
  add_test(NAME nuvstat.${name}
           COMMAND ${CMAKE_COMMAND} ${defs} -P ${CMAKE_CURRENT_SOURCE_DIR}/tests/run_nuvstat.cmake)
  set_tests_properties(nuvstat.${name} PROPERTIES LABELS tools)
  if(NUV_SANITIZE)
    set_tests_properties(nuvstat.${name} PROPERTIES
      ENVIRONMENT "ASAN_OPTIONS=allocator_may_return_null=1:detect_leaks=1")
  endif()
endfunction()

# nuvstat_plot_test(<name> ARGS <arg>... [CIRCLES n] [BARS n] [LINES n] [LINKS n]
#                   [COLOURS n] [TEXTS t...] [SPAN]): nuvstat run with --plot, the SVG
# checked by check_plot.cmake (well-formed, rendered cleanly, the marks counted).
function(nuvstat_plot_test name)
  cmake_parse_arguments(T "SPAN" "CIRCLES;BARS;LINES;LINKS;COLOURS" "ARGS;TEXTS" ${ARGN})
  set(svg ${CMAKE_CURRENT_BINARY_DIR}/plot_${name}.svg)
  string(REPLACE ";" "@@" args "${T_ARGS};--plot;${svg}")
  set(defs -DNUVSTAT=$<TARGET_FILE:nuvstat> "-DARGS=${args}" -DSVG=${svg})
  foreach(k CIRCLES BARS LINES LINKS COLOURS)
    if(DEFINED T_${k})
      list(APPEND defs -D${k}=${T_${k}})
    endif()
  endforeach()
  if(DEFINED T_TEXTS)
    string(REPLACE ";" "@@" texts "${T_TEXTS}")
    list(APPEND defs "-DTEXTS=${texts}")
  endif()
  if(T_SPAN)
    list(APPEND defs -DSPAN=ON)
  endif()
  add_test(NAME nuvstat.plot_${name}
           COMMAND ${CMAKE_COMMAND} ${defs} -P ${CMAKE_CURRENT_SOURCE_DIR}/tests/check_plot.cmake)
  set_tests_properties(nuvstat.plot_${name} PROPERTIES LABELS tools)
  if(NUV_SANITIZE)
    set_tests_properties(nuvstat.plot_${name} PROPERTIES
      ENVIRONMENT "ASAN_OPTIONS=allocator_may_return_null=1:detect_leaks=1")
  endif()
endfunction()

set(D ${NUVSTAT_TEST_DATA})

# ---- describe -----------------------------------------------------------------
# Iris figures as R reports them for its iris data set: Sepal.Length mean 5.843333,
# sd 0.8280661, min 4.3, median 5.8, max 7.9; Petal.Width mean 1.199333, sd 0.7622377.
nuvstat_test(describe_bundled ARGS describe --sample iris
  OUT "source: bundled Iris sample" "rows: 150" "columns: 4"
      "\n *column +n +missing +mean +sd +min +q1 +median +q3 +max +skewness +kurtosis\n"
      "\nsepal_length +150 +0 +5\\.84333 +0\\.828066 +4\\.3 +[0-9.]+ +5\\.8 +[0-9.]+ +7\\.9 "
      "\npetal_width +150 +0 +1\\.19933 +0\\.762238 ")
# small.csv by hand. a = 1..5: mean 3, sd sqrt(10/4) = 1.58114, quartiles at positions
# 1.5, 3, 4.5 -> 1.5, 3, 4.5, skewness 0, kurtosis -1.2 (the spreadsheet KURT of 1..5).
# b = 2, 4, 6, 8, 100: mean 24, deviations -22 -20 -18 -16 76, sum of squares 7240,
# sd sqrt(1810) = 42.5441, quartiles 3, 6, 54; sum of cubes 410400, skewness
# 5/(4*3) * 410400 / 1810^1.5 = 2.22064; sum of fourth powers 33926944, kurtosis
# 30/24 * 33926944 / 1810^2 - 3*16/6 = 4.94487.
nuvstat_test(describe_small ARGS describe ${D}/small.csv
  OUT "\na +5 +0 +3 +1\\.58114 +1 +1\\.5 +3 +4\\.5 +5 +0 +-1\\.2\n"
      "\nb +5 +0 +24 +42\\.5441 +2 +3 +6 +54 +100 +2\\.22064 +4\\.94487\n")
# The same numbers without a header, blank separated, with a comment line: columns V1, V2.
nuvstat_test(describe_blank_no_header ARGS describe ${D}/blank.txt
  OUT "\nV1 +5 +0 +3 +1\\.58114" "\nV2 +5 +0 +24 +42\\.5441")
# Standard input, tab separated.
nuvstat_test(describe_stdin ARGS describe - STDIN ${D}/simple.tsv
  OUT "source: stdin" "\nx +5 +0 +3 +1\\.58114" "\ny +5 +0 +4 ")
# Three values: no skewness or kurtosis (needs four), a constant column has none either.
nuvstat_test(describe_not_computed ARGS describe ${D}/constant.csv
  OUT "\nb +4 +0 +7 +0 +7 +7 +7 +7 +7 +n/a +n/a\n")
nuvstat_test(describe_csv ARGS describe --format csv ${D}/small.csv
  OUT "^column,n,missing,mean,sd,min,q1,median,q3,max,skewness,kurtosis\na,5,0,3,1\\.58113883[0-9]*,1,1\\.5,3,4\\.5,5,0,-1\\.2[0-9]*\nb,5,0,24,")
nuvstat_test(describe_json ARGS describe --format=json ${D}/small.csv
  OUT "^{\n  \"command\": \"describe\",\n  \"source\": \"[^\"]*small.csv\",\n  \"rows\": 5,"
      "\"describe\": \\[\n    {\"column\": \"a\", \"n\": 5, \"missing\": 0, \"mean\": 3, \"sd\": 1\\.58113883"
      "{\"column\": \"b\", \"n\": 5, \"missing\": 0, \"mean\": 24,")

# flowers_with_labels.csv: the Iris data with its species column, an empty cell in
# sepal_length (row 3), NA in petal_width (row 10) and an empty species (row 50).
# pandas 1.5.3, read_csv(...).describe(): sepal_length count 149, mean 5.851007,
# std 0.825491, median 5.80; petal_width count 149, mean 1.206711, std 0.759415.
nuvstat_test(describe_species_missing ARGS describe ${D}/flowers_with_labels.csv
  OUT "left out: species \\(nominal\\)"
      "\nsepal_length +149 +1 +5\\.85101 +0\\.825491 +4\\.3 +[0-9.]+ +5\\.8 "
      "\nsepal_width +150 +0 +3\\.05733 +0\\.435866 "
      "\npetal_width +149 +1 +1\\.20671 +0\\.759415 "
      "\nspecies \\(nominal\\) +3 +1\n")
# The matrix commands use the 148 rows without a missing number; pandas
# read_csv(...)[numeric].dropna().corr(): sepal_length/petal_width 0.813835.
nuvstat_test(corr_species_complete_rows ARGS corr --complete ${D}/flowers_with_labels.csv
  OUT "rows with missing values left out: 2" "\nsepal_length +1 +-0\\.115045 +0\\.868796 +0\\.813835\n")
# Texts that would merge into one label keep the column as text, with a warning.
nuvstat_test(text_column_warning ARGS describe ${D}/names.csv
  OUT "left out: name \\(text\\)" "\nv +3 +0 +2 "
  ERR "nuvstat: [^\n]*names.csv: warning: column \"name\": the texts \"Christopher\" and \"Christophe\" make the same label \"Christophe\"; kept as a text column\n")

# ---- corr and cov -------------------------------------------------------------
# Iris correlations as R's cor(iris[, 1:4]) gives them: -0.1175698, 0.8717538, 0.9628654.
nuvstat_test(corr_bundled ARGS corr --sample iris
  OUT "\nsepal_length +1 +-0\\.11757 +0\\.871754 +0\\.817941\n" "\npetal_width .* 0\\.962865 +1\n")
# small.csv: cov(a, b) = (44 + 20 + 0 - 16 + 152) / 4 = 50, var a 2.5, var b 1810,
# r = 50 / sqrt(2.5 * 1810) = 0.743294.
nuvstat_test(cov_small ARGS cov ${D}/small.csv OUT "\na +2\\.5 +50\n" "\nb +50 +1810\n")
nuvstat_test(corr_small ARGS corr ${D}/small.csv OUT "\na +1 +0\\.743294\n" "\nb +0\\.743294 +1\n")
# constant.csv: a = 1..4, c = 2, 4, 5, 4: cross sum 3.5, variances 5/3 and 4.75/3,
# r = (3.5/3) / sqrt(5/3 * 4.75/3) = 0.718185; the constant b has no correlation.
nuvstat_test(corr_constant_column ARGS corr --format csv ${D}/constant.csv
  OUT "\na,1,,0\\.71818[0-9]*\nb,,,\nc,0\\.71818[0-9]*,,1\n")
# Iris covariances from R's cov(iris[, 1:4]): var(Sepal.Length) 0.6856935, cov with
# Petal.Length 1.2743154.
nuvstat_test(cov_bundled_json ARGS cov --format json --sample iris
  OUT "\"covariance\": \\[" "\"variable\": \"sepal_length\", \"sepal_length\": 0\\.68569351[0-9]*, \"sepal_width\": -0\\.0424340[0-9]*, \"petal_length\": 1\\.274315[0-9]*")

# ---- pca ----------------------------------------------------------------------
# Iris: the covariance eigenvalues 4.2282, 0.2427, 0.0782, 0.0238 with the shares
# 92.46 %, 5.31 %, 1.71 %, 0.52 % (data/README.md; R's prcomp sdev^2).
nuvstat_test(pca_bundled ARGS pca --sample iris
  OUT "matrix: covariance"
      "\nPC1 +4\\.2282[0-9]* +92\\.46[0-9]* +92\\.46[0-9]*\n"
      "\nPC2 +0\\.2426[0-9]* +5\\.30[0-9]* +97\\.76[0-9]*\n"
      "\nPC3 +0\\.0782[0-9]* +1\\.71[0-9]* +99\\.47[0-9]*\n"
      "\nPC4 +0\\.0238[0-9]* +0\\.52[0-9]* +100\n"
      "\npetal_length +0\\.85667[0-9]* ")
# Standardized Iris (R's prcomp(iris[, 1:4], scale. = TRUE)): eigenvalues 2.9185 and
# 0.9140, shares 72.96 % and 22.85 %; PC1 loading of sepal_length 0.5211 up to sign.
nuvstat_test(pca_bundled_standardized ARGS pca --standardize --components 2 --sample iris
  OUT "matrix: correlation" "\nPC1 +2\\.9185[0-9]* +72\\.96[0-9]*" "\nPC2 +0\\.914[0-9]* +22\\.85[0-9]*"
      "\nsepal_length +0\\.521066 +0\\.377418\n")
# pca2.csv: centred x = (2, -2, 0, 0, 0), y = (2, 0, -2, 0, 0), so the covariance
# matrix is [[2, 1], [1, 2]] with eigenvalues 3 and 1 (75 % and 25 %) and the
# eigenvectors (1, 1)/sqrt 2 and (1, -1)/sqrt 2. Scores: row 1 (2, 2) gives
# 4/sqrt 2 = 2.82843 and 0, row 2 (-2, 0) gives -1.41421 twice.
nuvstat_test(pca_small_scores ARGS pca --scores ${D}/pca2.csv
  OUT "\nPC1 +3 +75 +75\n" "\nPC2 +1 +25 +100\n"
      "\nx +0\\.707107 +0\\.707107\n" "\ny +0\\.707107 +-0\\.707107\n"
      "\nScores\nrow +PC1 +PC2\n1 +2\\.82843 +0\n2 +-1\\.41421 +-1\\.41421\n")
# Standardized: the correlation matrix [[1, 0.5], [0.5, 1]] has eigenvalues 1.5 and 0.5.
nuvstat_test(pca_small_standardized_csv ARGS pca --standardize --components 1 --format csv ${D}/pca2.csv
  OUT "^component,eigenvalue,share %,cumulative %\nPC1,1\\.5,75,75\n$" CSV_TABLE)
nuvstat_test(pca_small_loadings_csv ARGS pca --standardize --components 1 --format csv --table loadings ${D}/pca2.csv
  OUT "^variable,PC1\nx,0\\.707106781[0-9]*\ny,0\\.707106781[0-9]*\n$" CSV_TABLE)
# More components than columns shows them all.
nuvstat_test(pca_components_clipped ARGS pca --components 7 --format csv --table loadings ${D}/pca2.csv
  OUT "^variable,PC1,PC2\n")
# pca12.csv (12 columns: the divide-and-conquer path): rows +-s_k q_k, k = 1..12, with
# q_k(j) = sqrt(2/13) sin(j k pi / 13) orthonormal and s_k^2 = 23 k / 2, so the covariance
# is sum_k k q_k q_k^T: eigenvalues 12, 11, ..., 1 (12/78 = 15.3846 %), PC1 = q_12 signed so
# that the first of its largest components (v6, v7 tie) is positive.
nuvstat_test(pca_wide_closed_form ARGS pca --components 2 ${D}/pca12.csv
  OUT "\nPC1 +12 +15\\.3846 +15\\.3846\n" "\nPC2 +11 +14\\.1026 +29\\.4872\n"
      "\nv1 +-0\\.0938673 +0\\.182279\n" "\nv6 +0\\.389372 +-0\\.0938673\n"
      "\nv7 +-0\\.389372 +-0\\.0938673\n")
# Values near 1e200: their squares overflow, and the divide-and-conquer path says so.
nuvstat_test(pca_wide_overflow ARGS pca ${D}/huge12.csv EXIT 2 OUT_EMPTY
  ERR "nuvstat: the eigen decomposition failed: the covariance matrix is not finite \\(the values overflow when squared\\)\n$")
nuvstat_test(pca_constant_standardized ARGS pca --standardize ${D}/constant.csv
  EXIT 2 OUT_EMPTY ERR "nuvstat: .*constant.csv: column \"b\" is constant and cannot be standardized\n$")

# ---- regress --------------------------------------------------------------------
# simple.tsv by hand: x = 1..5, y = 2, 4, 5, 4, 5; Sxx = 10, Sxy = 6, slope 0.6,
# intercept 4 - 0.6 * 3 = 2.2; residuals -0.8, 0.6, 1, -0.6, -0.2, RSS 2.4, TSS 6,
# R^2 0.6, adjusted 1 - 0.4 * 4/3 = 0.466667, s^2 = 2.4/3 = 0.8, s = 0.894427,
# se(slope) = sqrt(0.8/10) = 0.282843, se(intercept) = sqrt(0.8 (1/5 + 9/10)) = 0.938083,
# t = 2.34521 and 2.12132.
nuvstat_test(regress_small ARGS regress --y y ${D}/simple.tsv
  OUT "response: y" "\n\\(intercept\\) +2\\.2 +0\\.938083 +2\\.34521 +0\\.[0-9]+ "
      "\nx +0\\.6 +0\\.282843 +2\\.12132 +0\\.[0-9]+ "
      "\nR\\^2 +0\\.6\n" "\nadjusted R\\^2 +0\\.466667\n" "\nresidual standard error +0\\.894427\n"
      "\nresidual degrees of freedom +3\n"
      # t(0.975, 3) = 3.18245 (R's qt(0.975, 3)): 0.6 -+ 3.18245 * 0.282843.
      "\nx +0\\.6 .* +-0\\.300132 +1\\.50013\n"
      # One predictor: F = t^2 = 4.5 with the p value of t.
      "\nF statistic +4\\.5\n" "\nF p value +0\\.124027\n")
# Iris, as R's summary(lm(Petal.Width ~ Sepal.Length + Sepal.Width + Petal.Length, iris))
# reports it: estimates -0.24031, -0.20727, 0.22283, 0.52408 with standard errors 0.17837,
# 0.04751, 0.04894, 0.02449; residual standard error 0.192 on 146 degrees of freedom;
# R^2 0.9379, adjusted 0.9366. The response is given by its column number here.
# The patterns keep the digits that R's rounding leaves certain.
nuvstat_test(regress_bundled ARGS regress --y 4 --sample iris
  OUT "\n\\(intercept\\) +-0\\.2403[0-9]* +0\\.1783[0-9]* "
      "\nsepal_length +-0\\.2072[0-9]* +0\\.0475[0-9]* "
      "\nsepal_width +0\\.2228[0-9]* +0\\.0489[0-9]* "
      "\npetal_length +0\\.5240[0-9]* +0\\.0244[0-9]* "
      "\nR\\^2 +0\\.937[89][0-9]*\n" "\nadjusted R\\^2 +0\\.936[56][0-9]*\n"
      "\nresidual standard error +0\\.19[12][0-9]*\n" "\nresidual degrees of freedom +146\n")
nuvstat_test(regress_json ARGS regress --y=y --format json ${D}/simple.tsv
  OUT "\"response\": \"y\"" "{\"term\": \"x\", \"estimate\": 0\\.6[0-9]*, \"std error\": 0\\.28284271[0-9]*,"
      "{\"statistic\": \"R\\^2\", \"value\": 0\\.6[0-9]*}")
nuvstat_test(error_regress_unknown_column ARGS regress --y petal ${D}/small.csv EXIT 2 OUT_EMPTY
  ERR "^nuvstat: [^\n]*small.csv: no column \"petal\" \\(the columns are a, b, or numbers 1 to 2\\)\n$")
nuvstat_test(error_regress_constant_predictor ARGS regress --y c ${D}/constant.csv EXIT 2 OUT_EMPTY
  ERR "^nuvstat: [^\n]*constant.csv: column \"b\" is constant: its coefficient cannot be told from the intercept\n$")
nuvstat_test(error_regress_too_few_rows ARGS regress --y b ${D}/one_row.csv EXIT 2 OUT_EMPTY
  ERR "too few rows: regress with 2 coefficients needs at least 3, the data has 1\n$")

# The output form may come before the command.
nuvstat_test(format_before_command ARGS --format csv cov ${D}/small.csv
  OUT "^variable,a,b\na,2\\.5,50\nb,50,1810\n$")

# ---- input: never a wrong answer with exit status 0 ----------------------------
# Without FILE, standard input is read when it is not a terminal, and named.
nuvstat_test(stdin_without_file ARGS corr --format json STDIN ${D}/small.csv
  OUT "\"source\": \"stdin\"" "\"variable\": \"a\", \"a\": 1, \"b\": 0\\.743294")
nuvstat_test(sample_explicit ARGS describe --sample iris --format json
  OUT "\"source\": \"bundled Iris sample\"" "\"rows\": 150,")
nuvstat_test(error_sample_and_file ARGS describe --sample iris ${D}/small.csv EXIT 2 OUT_EMPTY
  ERR "--sample and a FILE given")
# "1,NA,3" first is data (no cell is a text): 3 rows, column 2 with one missing.
nuvstat_test(header_first_line_missing ARGS describe ${D}/first_line_na.csv
  OUT "rows: 3\n" "\nV1 +3 +0 +4 +3 " "\nV2 +2 +1 +6\\.5 ")
# Whole numbers above columns they lie outside of: read as data, with a note.
nuvstat_test(header_years_note ARGS describe ${D}/year_header.csv
  OUT "rows: 4\n"
  ERR "year_header.csv, line 1: note: read as data, though its whole numbers lie outside the columns below; add --header yes")
# With --header yes the years name the columns: mean of 1, 4, 7 is 4.
nuvstat_test(header_yes ARGS describe --header yes ${D}/year_header.csv
  OUT "rows: 3\n" "\n2019 +3 +0 +4 +3 ")
# R's write.csv of a matrix with numbers as column names: the quoted numbers name the columns.
nuvstat_test(header_quoted_numbers ARGS describe ${D}/quoted_number_names.csv
  OUT "rows: 3\n" "columns: 2\n" "\n1 +3 +0 +2\\.33333 " "\n2 +3 +0 +3\\.33333 ")
nuvstat_test(header_no ARGS describe --header no ${D}/year_header.csv OUT "rows: 4\n" "\nV1 +4 +0 +507\\.75 ")
# "1,5;2": numbers with a decimal comma are refused with the option to add, and read with it.
nuvstat_test(error_decimal_comma ARGS describe ${D}/decimal_comma.csv EXIT 2 OUT_EMPTY
  ERR "^nuvstat: [^\n]*decimal_comma.csv, line 2, column 1: \"2,5\" is a number with a decimal comma: add --decimal ,\n$")
nuvstat_test(decimal_comma ARGS describe --decimal , --header no ${D}/decimal_comma.csv
  OUT "\nV1 +3 +0 +2\\.5 +1 +1\\.5 ")
# Repeated names become a, a.2: --y a.2 is the second column (b = a.2 + 1 exactly: slope 1).
nuvstat_test(duplicate_names ARGS regress --y b ${D}/duplicate_names.csv
  OUT "\na +[^\n]*\na\\.2 "
  ERR "the column name \"a\" repeats: copy 2 is called \"a\\.2\"")
nuvstat_test(duplicate_names_y ARGS regress --y a.2 --columns a.2,b ${D}/duplicate_names.csv
  OUT "response: a\\.2" "\nb +0\\.8[0-9]* ")
# Values near 1e300: r = 0.165647 (scipy.stats.pearsonr of the values / 1e300,
# tools/tests/reference_real_files.py), not 0.
nuvstat_test(corr_huge_values ARGS corr ${D}/huge_corr.csv OUT "\nx +1 +0\\.165647\n")
nuvstat_test(error_overflowing_cell ARGS describe ${D}/overflow_cell.csv EXIT 2 OUT_EMPTY
  ERR "^nuvstat: [^\n]*overflow_cell.csv, line 3, column 1 \\(\"a\"\\): \"1e400\" overflows: it is beyond the range of double precision")
# Counts and whole numbers in full, never 1e+06.
nuvstat_test(whole_numbers ARGS describe ${D}/whole_numbers.csv OUT "\nv +3 +0 +2000000 +1000000 +1000000 ")
nuvstat_test(whole_numbers_json ARGS describe --format json ${D}/whole_numbers.csv
  OUT "\"mean\": 2000000, \"sd\": 1000000, \"min\": 1000000,")

# ---- input controls -------------------------------------------------------------
# controls.txt: a title line, ':' cells, '?' and '-' for missing values.
nuvstat_test(controls ARGS describe --skip 1 --delimiter : --na - --exclude y ${D}/controls.txt
  OUT "columns: 2\n" "\nx +5 +0 +3 " "\nz +2 +3 +3\\.5 ")
nuvstat_test(controls_columns ARGS describe --skip 1 --na - --columns 3,x ${D}/controls.txt
  OUT "\nx +5 " "\nz +2 ")
nuvstat_test(error_columns_unknown ARGS describe --columns q ${D}/small.csv EXIT 2 OUT_EMPTY
  ERR "--columns: no column \"q\" \\(the columns are a, b, or numbers 1 to 2\\)")
nuvstat_test(error_columns_text ARGS describe --columns b ${D}/bad.csv EXIT 2 OUT_EMPTY
  ERR "--columns: column \"b\" holds texts, not numbers")
nuvstat_test(row_names_option ARGS describe --row-names ${D}/small.csv OUT "columns: 1\n" "\nb +5 ")

# ---- missing values and the matrix commands -----------------------------------------
# r_airquality_write_csv.csv (NA cells), pandas 1.5.3 DataFrame.corr() (pairwise):
# Ozone/Wind 0.0843676955, Ozone/Temp 0.2271426877; pair counts 54, 52, 54; listwise
# (dropna().corr()) Ozone/Wind 0.0674514380; tools/tests/reference_real_files.py.
set(R ${PROJECT_SOURCE_DIR}/tests/data/real_files)
nuvstat_test(corr_pairwise ARGS corr ${R}/r_airquality_write_csv.csv
  OUT "left out: Date \\(nominal\\)" "\nOzone +1 +0\\.120654 +0\\.0843677 +0\\.227143\n"
      "Rows used by each pair" "\nOzone +54 +52 +54 +54\n")
nuvstat_test(corr_listwise ARGS corr --complete ${R}/r_airquality_write_csv.csv
  OUT "rows with missing values left out: 8" "\nOzone +1 +0\\.120654 +0\\.0674514 +0\\.170999\n")
nuvstat_test(corr_counts_hidden ARGS corr ${D}/small.csv
  OUT "^source: [^\n]*\nrows: 5\ncolumns: 2\n\nCorrelation matrix \\(Pearson\\)\n[^\n]*\n[^\n]*\n[^\n]*\n$")
# scipy.stats.pearsonr(Ozone, Temp) over their 54 rows: p 0.09858272499959359.
nuvstat_test(corr_p ARGS corr --p --format csv --table p ${R}/r_airquality_write_csv.csv
  OUT "\nOzone,,0\\.394205809[0-9]*,0\\.54414977[0-9]*,0\\.0985827249995[0-9]*\n" CSV_TABLE)
# pandas corr(method="spearman") Ozone/Temp 0.1671788913; scipy.stats.spearmanr p 0.2269362396.
nuvstat_test(corr_spearman ARGS corr --method spearman --p ${R}/r_airquality_write_csv.csv
  OUT "Correlation matrix \\(Spearman\\)" "\nOzone +1 +0\\.10069 +0\\.0316231 +0\\.167179\n"
      "\nTemp +0\\.226936 +0\\.683915 ")
# pandas corr(method="kendall") (tau-b): Ozone/Temp 0.1191163067, Solar.R/Wind 0.1397987381.
nuvstat_test(corr_kendall ARGS corr --method kendall --format csv ${R}/r_airquality_write_csv.csv
  OUT "\nOzone,1,0\\.0632397518[0-9]*,0\\.0120143262[0-9]*,0\\.1191163067[0-9]*\n" CSV_TABLE)
nuvstat_test(cov_pairwise ARGS cov --format csv --table n ${R}/r_airquality_write_csv.csv
  OUT "^variable,Ozone,Solar.R,Wind,Temp\nOzone,54,52,54,54\n" CSV_TABLE)
# p values below what a double holds well: "< 1e-300" in the table, the value in CSV.
nuvstat_test(p_below_range ARGS regress --y y ${D}/tiny_p.csv
  OUT "\nx +2 +[0-9.e-]+ +[0-9.e+]+ +< 1e-300 " "\nF p value +< 1e-300\n")
nuvstat_test(p_below_range_csv ARGS regress --y y --format csv ${D}/tiny_p.csv
  OUT "\nx,[0-9.]+,[0-9.e-]+,[0-9.e+]+,0," CSV_TABLE)

# ---- regress: F test and intervals, statsmodels 0.13.5 OLS on Boston ----------------
# sm.OLS(MEDV, add_constant(rest)).fit(): RM 3.8098652068 [2.9887267734, 4.6310036404],
# F 108.0766661743, p 6.722174750e-135, R^2 0.7406426641.
nuvstat_test(regress_boston ARGS regress --y MEDV --skip 1 ${R}/sklearn_boston_house_prices.csv
  OUT "\nRM +3\\.80987 +0\\.417925 +9\\.11614 +1\\.9794[0-9]e-18 +2\\.98873 +4\\.631\n"
      "\nF statistic +108\\.077\n" "\nF p value +6\\.7221[78]e-135\n")
nuvstat_test(regress_boston_fit_csv ARGS regress --y MEDV --skip 1 --format csv --table fit
  ${R}/sklearn_boston_house_prices.csv
  OUT "^statistic,value\nR\\^2,0\\.74064266410[0-9]*\n" "\nF statistic,108\\.0766661[0-9]*\n" CSV_TABLE)

# ---- describe --by: pandas groupby("Species")["Petal.Length"].describe() and .skew() ----
nuvstat_test(describe_by ARGS describe --by Species ${R}/r_iris_write_csv.csv
  OUT "\nsetosa +Petal\\.Length +50 +0 +1\\.462 +0\\.173664 +1 "
      "\nversicolor +Petal\\.Length +50 +0 +4\\.26 +0\\.469911 +3 +4 +4\\.35 +4\\.6 +5\\.1 +-0\\.606508 "
      "\nvirginica +Petal\\.Length +50 +0 +5\\.552 +0\\.551895 ")
nuvstat_test(describe_by_csv ARGS describe --by 5 --format csv ${R}/r_iris_write_csv.csv
  OUT "^Species,column,n,missing," "\nsetosa,Petal.Length,50,0,1\\.46" CSV_TABLE)

# ---- the files as they ship -------------------------------------------------------
# Read as they stand, with the figures of pandas (reference_real_files.py).
# write.csv: "" above the row names, quoted texts; R's iris figures.
nuvstat_test(real_r_write_csv ARGS corr ${R}/r_iris_write_csv.csv
  OUT "columns: 4\n" "left out: Species \\(nominal\\)" "\nSepal\\.Length +1 +-0\\.11757 +0\\.871754 +0\\.817941\n")
# write.csv2 with --decimal ,: pandas read_csv(sep=";", decimal=",").cov(): alcohol 0.6590623278,
# magnesium 203.9893353647.
nuvstat_test(real_r_write_csv2 ARGS cov --decimal , --format csv ${R}/r_wine_write_csv2.csv
  OUT "\nalcohol,0\\.65906232[0-9]*,0\\.0856113089[0-9]*," "\nmagnesium,3\\.13987811[0-9]*,[^\n]*,203\\.98933536[0-9]*\n" CSV_TABLE)
nuvstat_test(real_r_write_csv2_refused ARGS cov ${R}/r_wine_write_csv2.csv EXIT 2 OUT_EMPTY
  ERR "line 2, column 2: \"14,23\" is a number with a decimal comma: add --decimal ,")
# write.table(sep = "\t"): the header one cell short; pandas corr Chins/Situps 0.6957274277.
nuvstat_test(real_r_write_table_tsv ARGS corr ${R}/r_linnerud_write_table.tsv
  OUT "columns: 6\n" "\nChins +1 +0\\.695727 +0\\.49576 ")
nuvstat_test(real_r_write_table_blanks ARGS describe ${R}/r_iris_write_table.txt
  OUT "rows: 40\n" "left out: Species \\(nominal\\)" "\nSepal\\.Length +40 +0 ")
# NA cells and a Date column: pandas describe(): Ozone count 54, mean 41.0925925926,
# std 26.5978212461; Solar.R count 57.
nuvstat_test(real_r_airquality ARGS describe ${R}/r_airquality_write_csv.csv
  OUT "\nOzone +54 +6 +41\\.0926 +26\\.5978 +9 " "\nSolar\\.R +57 +3 +160\\.93 ")
nuvstat_test(real_trailing_delimiter ARGS corr ${R}/trailing_delimiter.csv
  OUT "columns: 3\n" "\nx +1 +0\\.998769 +-0\\.707623\n")
# A '#' line, ISO dates and empty cells: pandas describe() AMZN count 80, mean 20.3603911336;
# corr IBM/AMZN 0.6573437696 (pairwise).
nuvstat_test(real_mpl_stocks ARGS corr ${R}/mpl_stocks_shape.csv
  OUT "left out: Date \\(nominal\\)" "\nIBM +1 +-0\\.11649 +0\\.657344 +0\\.625873\n")
nuvstat_test(real_mpl_msft ARGS describe ${R}/mpl_msft_shape.csv
  OUT "columns: 6\n" "left out: Date \\(nominal\\)" "\nAdj\\. Close\\* +64 +0 ")
# pandas: corr of Year and Biology 0.9520580312.
nuvstat_test(real_mpl_percent ARGS corr --columns Year,Biology ${R}/mpl_percent_bachelors.csv
  OUT "\nYear +1 +0\\.952058\n")
nuvstat_test(real_mpl_blanks ARGS describe ${R}/mpl_data_x_x2_x3.csv
  OUT "rows: 11\n" "\nV3 +11 +0 +275 ")
nuvstat_test(real_sklearn_linnerud ARGS describe ${R}/sklearn_linnerud_exercise.csv
  OUT "\nChins +20 +0 +9\\.45 ")
nuvstat_test(real_sklearn_diabetes ARGS describe ${R}/sklearn_diabetes_data_raw.csv
  OUT "rows: 442\n" "columns: 10\n")
# The sklearn files start with a line of counts and names: refused, naming --skip 1.
nuvstat_test(real_sklearn_iris_refused ARGS pca ${R}/sklearn_iris.csv EXIT 2 OUT_EMPTY
  ERR "sklearn_iris.csv, line 1: the first line of the table mixes numbers and texts above columns of numbers \\(\"150\", \"setosa\"\\): add --skip 1 ")
# numpy: eigenvalues of the covariance of the 150 x 5 block 4.83843412, 0.25238603.
nuvstat_test(real_sklearn_iris_skip ARGS pca --skip 1 --components 2 ${R}/sklearn_iris.csv
  OUT "columns: 5\n" "\nPC1 +4\\.83843 " "\nPC2 +0\\.252386 ")
nuvstat_test(real_sklearn_wine_refused ARGS describe ${R}/sklearn_wine_data.csv EXIT 2 OUT_EMPTY
  ERR "sklearn_wine_data.csv, line 1: 5 cells where the lines below have 14: if this line is not part of the table, add --skip 1\n$")
nuvstat_test(real_sklearn_cancer_refused ARGS describe ${R}/sklearn_breast_cancer.csv EXIT 2 OUT_EMPTY
  ERR "line 1: 4 cells where the lines below have 31: if this line is not part of the table, add --skip 1\n$")
nuvstat_test(real_sklearn_boston_refused ARGS describe ${R}/sklearn_boston_house_prices.csv EXIT 2 OUT_EMPTY
  ERR "sklearn_boston_house_prices.csv, line 2: a line of texts above columns of numbers, below the first line: if it is the header, add --skip 1")
nuvstat_test(real_sklearn_physiological ARGS corr --format csv ${R}/sklearn_linnerud_physiological.csv
  OUT "^variable,Weight,Waist,Pulse\n" CSV_TABLE)

# ---- CSV output: one table that a plain reader and pandas load ------------------------
foreach(cmd describe corr cov pca)
  nuvstat_test(csv_plain_${cmd} ARGS ${cmd} --format csv ${R}/r_airquality_write_csv.csv CSV_TABLE)
endforeach()
nuvstat_test(csv_plain_regress ARGS regress --y Temp --format csv ${R}/r_airquality_write_csv.csv CSV_TABLE)
nuvstat_test(csv_plain_scores ARGS pca --table scores --format csv --sample iris CSV_TABLE
  OUT "^row,PC1,PC2,PC3,PC4\n1,")
nuvstat_test(csv_plain_others ARGS describe --table other_columns --format csv ${R}/r_airquality_write_csv.csv
  CSV_TABLE OUT "^column,labels,missing\nDate \\(nominal\\),60,0\n$")
# pandas.read_csv on every command's CSV output, where pandas is installed.
find_package(Python3 COMPONENTS Interpreter QUIET)
if(Python3_Interpreter_FOUND)
  add_test(NAME nuvstat.csv_pandas
           COMMAND ${Python3_EXECUTABLE} ${CMAKE_CURRENT_SOURCE_DIR}/tests/load_csv_output.py
                   $<TARGET_FILE:nuvstat> ${R})
  set_tests_properties(nuvstat.csv_pandas PROPERTIES LABELS tools SKIP_RETURN_CODE 77)
endif()

# ---- help -----------------------------------------------------------------------
nuvstat_test(help ARGS --help OUT "^usage: nuvstat COMMAND" "describe" "regress")
foreach(cmd describe corr cov pca regress)
  nuvstat_test(help_${cmd} ARGS ${cmd} --help OUT "^usage: nuvstat ${cmd} ")
endforeach()
nuvstat_test(help_word ARGS help pca OUT "^usage: nuvstat pca ")

# ---- errors: one line on stderr, exit status 2, nothing on stdout -----------------
nuvstat_test(error_missing_file ARGS describe ${D}/no_such_file.csv EXIT 2 OUT_EMPTY
  ERR "^nuvstat: cannot open \"[^\"]*no_such_file.csv\": No such file or directory\n$")
nuvstat_test(error_directory ARGS describe ${D} EXIT 2 OUT_EMPTY
  ERR "^nuvstat: cannot open \"[^\"]*\": it is a directory\n$")
# A column with a text is nominal: listed and left out of the numeric analyses.
nuvstat_test(text_column_left_out ARGS corr ${D}/bad.csv
  OUT "left out: b \\(nominal\\)" "\na +1\n")
nuvstat_test(error_no_numeric_column ARGS describe ${D}/words.csv EXIT 2 OUT_EMPTY
  ERR "^nuvstat: [^\n]*words.csv: no numeric column\n$")
nuvstat_test(error_ragged ARGS describe ${D}/ragged.csv EXIT 2 OUT_EMPTY
  ERR "^nuvstat: [^\n]*ragged.csv, line 3, column 2: 1 cell where 2 are expected\n$")
nuvstat_test(error_empty_file ARGS describe ${D}/empty.csv EXIT 2 OUT_EMPTY
  ERR "^nuvstat: [^\n]*empty.csv: no data\n$")
nuvstat_test(error_header_only ARGS pca ${D}/header_only.csv EXIT 2 OUT_EMPTY
  ERR "^nuvstat: [^\n]*header_only.csv: no data\n$")
nuvstat_test(error_empty_stdin ARGS describe - STDIN ${D}/empty.csv EXIT 2 OUT_EMPTY
  ERR "^nuvstat: stdin: no data\n$")
nuvstat_test(error_too_few_rows ARGS corr ${D}/one_row.csv EXIT 2 OUT_EMPTY
  ERR "^nuvstat: [^\n]*one_row.csv: too few rows: corr needs at least 2, the data has 1\n$")
nuvstat_test(error_too_few_rows_pca ARGS pca ${D}/one_row.csv EXIT 2 OUT_EMPTY
  ERR "too few rows: pca needs at least 3, the data has 1\n$")
# NaN is a missing value: skipped and counted.
nuvstat_test(describe_nan_missing ARGS describe ${D}/nan.csv OUT "\na +1 +1 +1 +n/a +1 ")
nuvstat_test(error_inf_cell ARGS describe ${D}/inf.csv EXIT 2 OUT_EMPTY
  ERR "^nuvstat: [^\n]*inf.csv, line 3, column 1 \\(\"a\"\\): infinite values cannot be analysed\n$")
# Squares of 1e308 overflow: the tool refuses to print Inf or NaN as a result.
nuvstat_test(error_overflow ARGS describe ${D}/huge.csv EXIT 2 OUT_EMPTY
  ERR "^nuvstat: [^\n]*huge.csv: the values are too large: describe overflows double precision\n$")
nuvstat_test(error_no_command EXIT 2 OUT_EMPTY ERR "^nuvstat: no command given \\(see 'nuvstat --help'\\)\n$")
nuvstat_test(error_unknown_command ARGS stats EXIT 2 OUT_EMPTY
  ERR "^nuvstat: unknown command \"stats\" \\(see 'nuvstat --help'\\)\n$")
nuvstat_test(error_unknown_option ARGS describe --components 2 EXIT 2 OUT_EMPTY
  ERR "^nuvstat: unknown option \"--components\" for describe \\(see 'nuvstat describe --help'\\)\n$")
nuvstat_test(error_bad_format ARGS corr --format xml EXIT 2 OUT_EMPTY
  ERR "^nuvstat: unknown format \"xml\" \\(use table, csv or json\\)")
nuvstat_test(error_bad_components ARGS pca --components 0 EXIT 2 OUT_EMPTY
  ERR "^nuvstat: --components needs a whole number of at least 1, not \"0\"")
nuvstat_test(error_missing_value ARGS pca --components EXIT 2 OUT_EMPTY
  ERR "^nuvstat: --components needs a value")
nuvstat_test(error_two_files ARGS cov ${D}/small.csv ${D}/pca2.csv EXIT 2 OUT_EMPTY
  ERR "^nuvstat: more than one FILE given")
nuvstat_test(error_regress_without_y ARGS regress EXIT 2 OUT_EMPTY
  ERR "^nuvstat: regress needs --y COLUMN")

# ---- Ctrl-C -----------------------------------------------------------------------
# A driver that sends SIGINT at moments fixed by the input pipe (see the test).
if(UNIX)
  find_package(GTest REQUIRED)
  add_executable(nuvstat_interrupt_test ${CMAKE_CURRENT_SOURCE_DIR}/tests/interrupt_test.cpp)
  target_link_libraries(nuvstat_interrupt_test PRIVATE GTest::gtest GTest::gtest_main nuv_warnings)
  target_compile_definitions(nuvstat_interrupt_test PRIVATE NUVSTAT_PATH="$<TARGET_FILE:nuvstat>")
  add_dependencies(nuvstat_interrupt_test nuvstat)
  add_test(NAME nuvstat.interrupt COMMAND nuvstat_interrupt_test)
  set_tests_properties(nuvstat.interrupt PROPERTIES LABELS tools)
  if(NUV_SANITIZE)
    set_tests_properties(nuvstat.interrupt PROPERTIES
      ENVIRONMENT "ASAN_OPTIONS=allocator_may_return_null=1:detect_leaks=1")
  endif()
endif()

# ---- SVG plots ----------------------------------------------------------------------
# The plot writer on its own; the well-formedness and pixel checks need xmllint,
# rsvg-convert and zlib, and are skipped where one of them is missing.
find_package(GTest REQUIRED)
find_package(ZLIB)
add_executable(nuvstat_svg_plot_test ${CMAKE_CURRENT_SOURCE_DIR}/tests/svg_plot_test.cpp
               ${CMAKE_CURRENT_SOURCE_DIR}/nuvstat/svg_plot.cpp)
target_include_directories(nuvstat_svg_plot_test PRIVATE ${CMAKE_CURRENT_SOURCE_DIR}/nuvstat)
target_link_libraries(nuvstat_svg_plot_test PRIVATE nuv::nuv GTest::gtest GTest::gtest_main nuv_warnings)
if(ZLIB_FOUND)
  target_link_libraries(nuvstat_svg_plot_test PRIVATE ZLIB::ZLIB)
  target_compile_definitions(nuvstat_svg_plot_test PRIVATE NUVSTAT_HAVE_ZLIB)
endif()
add_test(NAME nuvstat.svg_plot COMMAND nuvstat_svg_plot_test)
set_tests_properties(nuvstat.svg_plot PROPERTIES LABELS tools)
if(NUV_SANITIZE)
  set_tests_properties(nuvstat.svg_plot PROPERTIES
    ENVIRONMENT "ASAN_OPTIONS=allocator_may_return_null=1:detect_leaks=1")
endif()
include(${CMAKE_CURRENT_SOURCE_DIR}/tests/nuvstat_hypothesis_tests.cmake)
include(${CMAKE_CURRENT_SOURCE_DIR}/tests/nuvstat_fit_tests.cmake)
include(${CMAKE_CURRENT_SOURCE_DIR}/tests/nuvstat_signal_tests.cmake)
