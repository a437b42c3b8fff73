# CTest cases of cluster, fit and rank: reference figures from scipy and numpy
# (the commands beside them) or worked by hand, plots checked by check_plot.cmake.

# ---- cluster kmeans -------------------------------------------------------------------
# blobs.csv: three groups placed by hand, the first three rows one of each (the starting
# centres without --seed), row 7 without an x. {(0,0),(1,0),(0,1),(1,1)}: centre (0.5, 0.5),
# sum of squares 4 * 0.5 = 2; {(10,10),(11,10),(12,10)}: (11, 10), 1 + 0 + 1 = 2;
# {(0,20),(0,22)}: (0, 21), 2. Total 6; clusters numbered by size.
nuvstat_test(cluster_kmeans_blobs ARGS cluster kmeans --k 3 ${D}/blobs.csv
  OUT "rows with missing values left out: 1" "within-cluster sum of squares: 6\n"
      "\n1 +4 +2 +0\\.5 +0\\.5\n" "\n2 +3 +2 +11 +10\n" "\n3 +2 +2 +0 +21\n"
      "\nrow +cluster\n1 +1\n2 +2\n3 +3\n4 +1\n5 +2\n6 +1\n8 +3\n9 +1\n10 +2\n")
# Random starts (seed 2) find the same clusters; centres stay in the file's units when the
# columns are standardized, the sums of squares are those of the standardized data:
# with sx, sy = numpy.std(x or y, ddof=1) of the 9 rows, 4 (0.25/sx^2 + 0.25/sy^2) =
# 0.04850018201270127, 2/sx^2 = 0.0692974013474495, 2/sy^2 = 0.027702962677953052.
nuvstat_test(cluster_kmeans_seed_standardized
  ARGS cluster kmeans --k 3 --seed 2 --standardize --format csv --table centres ${D}/blobs.csv
  OUT "^cluster,size,sum of squares,x,y\n1,4,0\\.04850018201270[0-9]*,0\\.5,0\\.5\n2,3,0\\.069297401347449[0-9]*,11,10\n3,2,0\\.02770296267795[0-9]*,0,21\n$")
# Seed 5 starts two centres in one group: the third cluster ends empty, without a centre.
nuvstat_test(cluster_kmeans_empty_cluster
  ARGS cluster kmeans --k 3 --seed 5 --standardize --format csv --table centres ${D}/blobs.csv
  OUT "\n3,0,0,,\n$")
nuvstat_test(cluster_kmeans_needs_k ARGS cluster kmeans ${D}/blobs.csv EXIT 2 OUT_EMPTY
  ERR "^nuvstat: cluster kmeans needs --k K \\(see 'nuvstat cluster --help'\\)\n$")
nuvstat_test(cluster_kmeans_too_many ARGS cluster kmeans --k 10 ${D}/blobs.csv EXIT 2 OUT_EMPTY
  ERR "^nuvstat: [^\n]*blobs.csv: too few rows: cluster kmeans --k 10 needs at least 10, the data has 9 rows without missing values\n$")
nuvstat_test(cluster_no_analysis ARGS cluster EXIT 2 OUT_EMPTY
  ERR "^nuvstat: cluster needs an analysis: kmeans or hier")
nuvstat_test(cluster_kmeans_no_plot ARGS cluster kmeans --k 2 --plot x.svg ${D}/blobs.csv EXIT 2
  OUT_EMPTY ERR "^nuvstat: --plot goes with cluster hier")

# ---- cluster hier ---------------------------------------------------------------------
# Merge heights of hier6.csv from scipy 1.10.1:
#   scipy.cluster.hierarchy.linkage(X, method=M, metric='euclidean')[:, 2]
# single 1 2.23606797749979 4 4.123105625617661 6.708203932499369
# complete 1 2.23606797749979 4.123105625617661 6.708203932499369 12.727922061357855
# weighted (our average) 1 2.23606797749979 4.061552812808831 5.698588727105269 9.583216075890151
# average (our upgma) 1 2.23606797749979 4.061552812808831 5.612499231949773 10.143524524727136
# ward (our root height) 1 2.23606797749979 4.654746681256314 8.070522494444416 12.80104162428459
nuvstat_test(cluster_hier_single ARGS cluster hier --method single --k 3 ${D}/hier6.csv
  OUT "\n1 +1 +2 +7 +1 +2\n2 +3 +4 +8 +2\\.23607 +2\n3 +7 +5 +9 +4 +3\n4 +8 +9 +10 +4\\.12311 +5\n5 +10 +6 +11 +6\\.7082 +6\n"
      # Leaves in plotting order 5 2 1 4 3 6: groups {1, 2, 5}, {3, 4}, {6} from the left.
      "\nrow +group\n1 +1\n2 +1\n3 +2\n4 +2\n5 +1\n6 +3\n")
nuvstat_test(cluster_hier_complete ARGS cluster hier --method complete --format csv ${D}/hier6.csv
  OUT ",2\\.23606797749979,2\n[^\n]*,4\\.12310562561766[0-9]*,3\n[^\n]*,6\\.708203932499369,5\n[^\n]*,12\\.727922061357855,6\n$")
nuvstat_test(cluster_hier_average ARGS cluster hier --method average --format csv ${D}/hier6.csv
  OUT ",4\\.06155281280883[0-9]*,3\n[^\n]*,5\\.69858872710526[0-9]*,5\n[^\n]*,9\\.58321607589015[0-9]*,6\n$")
nuvstat_test(cluster_hier_upgma ARGS cluster hier --method upgma --format csv ${D}/hier6.csv
  OUT ",4\\.06155281280883[0-9]*,3\n[^\n]*,5\\.61249923194977[0-9]*,5\n[^\n]*,10\\.14352452472713[0-9]*,6\n$")
nuvstat_test(cluster_hier_ward ARGS cluster hier --method ward --format csv ${D}/hier6.csv
  OUT "^step,cluster 1,cluster 2,new cluster,height,size,root height\n"
      ",4\\.65474668125631[0-9]*\n[^\n]*,8\\.07052249444441[0-9]*\n[^\n]*,12\\.8010416242845[0-9]*\n$")
# Flexible strategy, alpha 0.625, by hand: (1, 2) join at 1; row 5 is 4 and sqrt(17) from
# them, so (4 + 4.1231056) 0.625 + 1 (1 - 1.25) = 4.8269410 from the pair.
nuvstat_test(cluster_hier_flexible ARGS cluster hier --method flexible --format csv ${D}/hier6.csv
  OUT "\n3,7,5,9,4\\.82694101601103[0-9]*,3\n")
# Manhattan between (0, 0) and (1, 0) is 1, between (5, 1) and (6, 3) is 3.
nuvstat_test(cluster_hier_manhattan ARGS cluster hier --method single --distance manhattan
  --format csv ${D}/hier6.csv OUT "\n1,1,2,7,1,2\n2,3,4,8,3,2\n")
# Similarities merge on 1 - coefficient. Rows (1,0), (0,1), (1,1) by hand: Jaccard 0, 1/2,
# 1/2 -> distances 1, 0.5, 0.5; Dice 0, 2/3, 2/3 -> 1, 1/3, 1/3.
nuvstat_test(cluster_hier_jaccard ARGS cluster hier --method single --distance jaccard
  --format csv ${D}/binary3.csv OUT "\n1,1,3,4,0\\.5,2\n2,2,4,5,0\\.5,3\n$")
nuvstat_test(cluster_hier_dice ARGS cluster hier --method complete --distance dice
  --format csv ${D}/binary3.csv OUT "\n1,1,3,4,0\\.33333333333333[0-9]*,2\n2,2,4,5,1,3\n$")
# Two rows of zeros are equal (the library's coefficient 1 for them): distance 0.
nuvstat_test(cluster_hier_zero_rows ARGS cluster hier --distance jaccard --format csv
  ${D}/binary_zero.csv OUT "\n1,1,2,4,0,2\n2,4,3,5,1,3\n$")
nuvstat_test(cluster_hier_ward_distance ARGS cluster hier --method ward --distance euclidean
  ${D}/hier6.csv EXIT 2 OUT_EMPTY
  ERR "^nuvstat: --method ward needs --distance sqeuclidean \\(its default\\)")
nuvstat_test(cluster_hier_k_too_large ARGS cluster hier --k 7 ${D}/hier6.csv EXIT 2 OUT_EMPTY
  ERR "^nuvstat: [^\n]*hier6.csv: --k 7 is more groups than the 6 rows\n$")
# One more row than the limit: refused before any distance is computed.
string(REPEAT "1\n" 20001 _many)
file(WRITE ${CMAKE_CURRENT_BINARY_DIR}/hier_20001.csv "x\n${_many}")
nuvstat_test(cluster_hier_limit ARGS cluster hier ${CMAKE_CURRENT_BINARY_DIR}/hier_20001.csv
  EXIT 2 OUT_EMPTY
  ERR "^nuvstat: [^\n]*hier_20001.csv: cluster hier handles at most 20000 rows [^\n]*the data has 20001")

# ---- fit ------------------------------------------------------------------------------
# curve.csv, x = 1..10 (the last row has no x). numpy 1.24:
#   numpy.polyfit(x, y, 1) -> slope 1.9793939393939393, intercept 0.11333333333332628,
#   R^2 0.9989338967273327 (1 - SSres/SStot)
nuvstat_test(fit_line ARGS fit --x x --y y --model line ${D}/curve.csv
  OUT "rows used: 10" "rows with a missing x or y left out: 1"
      "\nintercept +0\\.113333\n" "\nslope +1\\.97939\n" "\nR\\^2 +0\\.998934\n")
# numpy.polyfit(x, y, 2)[::-1] -> -0.05333333333332675 2.06272727272727 -0.007575757575757446,
# R^2 0.9990275459958382
nuvstat_test(fit_parabola ARGS fit --x x --y y --model parabola --format csv ${D}/curve.csv
  OUT "\na0,-0\\.053333333333332[0-9]*\na1,2\\.0627272727272[0-9]*\na2,-0\\.00757575757575[0-9]*\n")
# numpy.polyfit(x, y, 3)[::-1] -> 0.16666666666666155 1.8675990675990684
#   0.03473193473193445 -0.002564102564102567, R^2 0.9990903054133167
nuvstat_test(fit_poly3 ARGS fit --x x --y y --model poly 3 --format json ${D}/curve.csv
  OUT "\"a0\", \"estimate\": 0\\.1666666666666[0-9]*" "\"a1\", \"estimate\": 1\\.867599067599[0-9]*"
      "\"a2\", \"estimate\": 0\\.03473193473193[0-9]*" "\"a3\", \"estimate\": -0\\.00256410256410[0-9]*"
      "\"R\\^2\", \"value\": 0\\.99909030541331[0-9]*")
# Least squares of the transformed data, numpy.polyfit(..., 1):
#   exp: ln y on x -> a = exp(0.9576...) 2.6054726840149143, b 0.22734382880370071, R^2 0.9075990753287128
#   power: ln y on ln x -> a 2.054501316197335, b 0.9851240573447579, R^2 0.9989283642168907
#   log: y on ln x -> a -0.7739531265375729, b 7.795042057792648, R^2 0.9081006644250023
nuvstat_test(fit_exp ARGS fit --x x --y y --model exp --format csv ${D}/curve.csv
  OUT "\na,2\\.60547268401491[0-9]*\nb,0\\.2273438288037[0-9]*\n")
nuvstat_test(fit_exp_r2 ARGS fit --x x --y y --model exp --format csv --table fit ${D}/curve.csv
  OUT "R\\^2 of the transformed data,0\\.90759907532871[0-9]*\n")
nuvstat_test(fit_power ARGS fit --x x --y y --model power --format csv ${D}/curve.csv
  OUT "\na,2\\.05450131619733[0-9]*\nb,0\\.985124057344757[0-9]*\n")
nuvstat_test(fit_log ARGS fit --x x --y y --model log --format csv ${D}/curve.csv
  OUT "\na,-0\\.77395312653756[0-9]*\nb,7\\.79504205779264[0-9]*\n")
# Points on the circle of radius 5 about (1, 2): exact; at x = 1 the circle has y = 7 and -3.
nuvstat_test(fit_circle ARGS fit --x x --y y --model circle --at 1,6.5 ${D}/circle.csv
  OUT "\ncentre x +1\n" "\ncentre y +2\n" "\nradius +5\n" "\n1 +7 +-3\n" "\n6\\.5 +n/a +n/a\n")
# scipy.interpolate.CubicSpline(x, y, bc_type='natural')([1.5, 4.25, 9.9]), scipy 1.10.1
#   -> 2.9221883092859784 8.38806823436922 19.565398890122086
nuvstat_test(fit_spline ARGS fit --x x --y y --model spline --at 1.5,4.25,9.9 --format csv
  --table values ${D}/curve.csv
  OUT "^x,y\n1\\.5,2\\.922188309285978[0-9]*\n4\\.25,8\\.3880682343692[0-9]*\n9\\.9,19\\.5653988901220[0-9]*\n$")
# The smoothing spline minimises sum (y - g)^2 + F h^3 integral g''^2, h the mean spacing 1:
#   scipy.interpolate.make_smoothing_spline(x, y, lam=1.0)([1.5, 4.25, 9.9])
#   -> 3.035111757438917 8.543705394052902 19.599508949559795, R^2 0.9991211657160344
nuvstat_test(fit_smoothing_spline ARGS fit --x x --y y --model spline --smooth 1
  --at 1.5,4.25,9.9 --format json ${D}/curve.csv
  OUT "\"R\\^2\", \"value\": 0\\.999121165716[0-9]*" "\"y\": 3\\.0351117574389[0-9]*"
      "\"y\": 8\\.5437053940529[0-9]*" "\"y\": 19\\.599508949559[0-9]*")
nuvstat_test(fit_needs_model ARGS fit --x x --y y ${D}/curve.csv EXIT 2 OUT_EMPTY
  ERR "^nuvstat: fit needs --model MODEL")
nuvstat_test(fit_poly_degree ARGS fit --x x --y y --model poly ${D}/curve.csv EXIT 2 OUT_EMPTY
  ERR "^nuvstat: --model poly needs a whole number of at least 1")
nuvstat_test(fit_too_few ARGS fit --x x --y y --model poly 10 ${D}/curve.csv EXIT 2 OUT_EMPTY
  ERR "^nuvstat: [^\n]*curve.csv: too few rows: fit --model poly 10 needs at least 11 rows where both columns hold a number, the data has 10\n$")
nuvstat_test(fit_unknown_column ARGS fit --x x --y w --model line ${D}/curve.csv EXIT 2 OUT_EMPTY
  ERR "^nuvstat: [^\n]*curve.csv: no column \"w\"")
nuvstat_test(fit_constant_x ARGS fit --x b --y a --model line ${D}/constant.csv EXIT 2 OUT_EMPTY
  ERR "the x column is constant")
nuvstat_test(fit_collinear_circle ARGS fit --x x --y x --model circle ${D}/curve.csv EXIT 2
  OUT_EMPTY ERR "^nuvstat: [^\n]*curve.csv: fit --model circle: the points lie on a straight line\n$")
nuvstat_test(fit_log_needs_positive ARGS fit --x y --y x --model log ${D}/circle.csv EXIT 2
  OUT_EMPTY ERR "fit --model log needs every x above 0\n$")

# ---- rank -----------------------------------------------------------------------------
# Each pair over its common rows (scipy 1.10.1):
#   scipy.stats.spearmanr(x, z) over the 8 rows with both: 0.9523809523809524, p 0.00026040002438725105
#   scipy.stats.kendalltau(x, z, method='asymptotic'): 0.8571428571428571, p 0.002985470891268815
#   y, z over 9 rows: spearman 0.5, p 0.17047066078705375; kendall 0.5, p 0.06056886020265737
nuvstat_test(rank_pairs ARGS rank ${D}/curve.csv
  OUT "each pair uses the rows where both columns hold a number"
      "\nx +z +8 +0\\.952381 +0\\.0002604 +0\\.857143 +0\\.00298547 +0\\.857143\n"
      "\ny +z +9 +0\\.5 +0\\.170471 +0\\.5 +0\\.0605689 +0\\.5\n")
# With ties in both columns the variance of S takes them in (scipy 1.10.1,
# scipy.stats.kendalltau(iris.sepal_length, iris.sepal_width, method='asymptotic'):
# tau -0.0769967881165167, p 0.18292101506854785; sepal_width, petal_length:
# -0.1859944227944418, p 0.0012832678019005274; the normal tail agrees to 8 digits).
# The untied variance gives 0.162 and 0.00073.
nuvstat_test(rank_ties ARGS rank --format csv --sample iris --columns 1,2,3 CSV_TABLE
  OUT "\nsepal_length,sepal_width,150,[^,]+,[^,]+,-0\\.07699678811651[0-9]*,0\\.18292101[0-9]*,"
      "\nsepal_width,petal_length,150,[^,]+,[^,]+,-0\\.18599442279444[0-9]*,0\\.00128326780[0-9]*,")
# rank_ties.csv: ties in every column, c missing in row 5. The pair a, b has no missing
# cell and comes from ranks computed once per column; a, c and b, c over their 11
# common rows from the per-pair fitter: both agree with scipy 1.10.1,
#   m = df[[x, y]].dropna(); scipy.stats.spearmanr(m[x], m[y]),
#   scipy.stats.kendalltau(m[x], m[y], method='asymptotic') (normal tail: 8 digits):
#   a, b: 0.3154142124023677 p 0.3179579973833233, tau 0.2644718419629145 p 0.25805044478707795
#   a, c: 0.5483870967741935 p 0.08068299358820871, tau 0.4038461538461539 p 0.09600216738876967
# gamma (C - D)/(C + D) from counting the pairs of rows in Python: a, b 36 and 20,
# 0.2857142857142857; a, c 35 and 14, 0.42857142857142855.
nuvstat_test(rank_fast_and_pairwise ARGS rank --format csv ${D}/rank_ties.csv CSV_TABLE
  OUT "\na,b,12,0\\.31541421240236[0-9]*,0\\.31795799738332[0-9]*,0\\.26447184196291[0-9]*,"
      "0\\.2580504[0-9]*,0\\.28571428571428[0-9]*\n"
      "a,c,11,0\\.54838709677419[0-9]*,0\\.08068299358820[0-9]*,0\\.40384615384615[0-9]*,"
      "0\\.0960021[0-9]*,0\\.42857142857142[0-9]*\n")
nuvstat_test(corr_spearman_fast_and_pairwise ARGS corr --method spearman --format csv
  ${D}/rank_ties.csv CSV_TABLE
  OUT "\na,1,0\\.31541421240236[0-9]*,0\\.54838709677419[0-9]*\n")
nuvstat_test(corr_kendall_fast ARGS corr --method kendall --p --table p --format csv
  --columns a,b ${D}/rank_ties.csv CSV_TABLE OUT "\na,,0\\.2580504[0-9]*\n")
nuvstat_test(corr_spearman_fast_complete ARGS corr --method spearman --complete --format csv
  --columns b,c ${D}/rank_ties.csv CSV_TABLE OUT "\nb,1,0\\.4976905188312[0-9]*\n")
nuvstat_test(rank_csv ARGS rank --format csv ${D}/curve.csv CSV_TABLE
  OUT "^column 1,column 2,n,spearman,spearman p,kendall tau,kendall p,gamma\n")
nuvstat_test(rank_one_column ARGS rank --columns x ${D}/curve.csv EXIT 2 OUT_EMPTY
  ERR "^nuvstat: [^\n]*curve.csv: rank needs at least two numeric columns\n$")

# ---- plots ----------------------------------------------------------------------------
# Three links per merge; the leaves at the library's positions fill the width.
nuvstat_plot_test(dendrogram ARGS cluster hier --method ward ${D}/hier6.csv LINKS 15 SPAN)
nuvstat_plot_test(dendrogram_iris ARGS cluster hier --sample iris LINKS 447 SPAN)
# One mark per row used and one fitted curve.
nuvstat_plot_test(fit_line ARGS fit --x x --y y --model line ${D}/curve.csv CIRCLES 10 LINES 1)
nuvstat_plot_test(fit_circle ARGS fit --x x --y y --model circle ${D}/circle.csv CIRCLES 6 LINES 1)
