// SPDX-License-Identifier: GPL-3.0-or-later
// Made by tools/foodstamps/earlier-stamps.sh: the stamps of the food tables made from every
// foods.csv before the tables carried their own. Not to be edited by hand.
namespace ShippedFoods {
extern const char *const EarlierStamps[];
extern const int EarlierStampCount;
const char *const EarlierStamps[] = {
    "bd8fc757ae9a75e1a1a2d90abc60358dafe9f9a14842b4beb6b1c0a6f43274e3", // foods.csv of 479d6f6cc97e
    "42fecbc8c9d11acb57395163f34b20bc2e2cf76350daecad6eccbda04945a6fc", // foods.csv of c30006a940b0
    "a7209415a45c3386b4099376e74c90bfc82f8da4d47f9700bcfffe6761f47248", // foods.csv of 5fc7abae012c
    "b4c7ee941ab40335b90a8866aa594e7fc8f34cdf3ca36a545fc21568ab25357f", // foods.csv of b01fbc379db6
};
const int EarlierStampCount = 4;
} // namespace ShippedFoods
